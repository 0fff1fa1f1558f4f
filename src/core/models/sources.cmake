target_sources(plenvo-core PRIVATE
    models/NodeId.h
    models/NodeArena.cpp models/NodeArena.h
    models/NumberPool.h
    models/FileNode.cpp models/FileNode.h
    models/ScanProgress.cpp models/ScanProgress.h
    models/ColorToken.h
    models/FileCategory.cpp models/FileCategory.h
    models/FileOrder.cpp models/FileOrder.h
    models/CategoryStat.h
    models/ScanResult.cpp models/ScanResult.h
    models/NodeFacts.h
    models/DeviceInode.h
    models/ScanTree.h
    models/ScanComparison.cpp models/ScanComparison.h
    models/FileStamp.h
    models/ContentHash.h
)
