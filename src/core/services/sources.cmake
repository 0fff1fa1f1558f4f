target_sources(plenvo-core PRIVATE
    services/BackgroundWork.cpp services/BackgroundWork.h
    services/CancellationToken.h
    services/DirectoryListing.cpp services/DirectoryListing.h
    services/MountTable.cpp services/MountTable.h
    services/DiskScanner.cpp services/DiskScanner.h
    services/ScanWorkers.cpp services/ScanWorkers.h
    services/EntryAttributes.cpp services/EntryAttributes.h
    services/FolderReadAhead.cpp services/FolderReadAhead.h
    services/EntryIdentity.cpp services/EntryIdentity.h
    services/FileExistenceIndex.cpp services/FileExistenceIndex.h
    services/NcduReader.cpp services/NcduReader.h
    services/NcduWriter.cpp services/NcduWriter.h
    services/ScanComparer.cpp services/ScanComparer.h
    services/ScanHistory.cpp services/ScanHistory.h
    services/DuplicateCandidates.cpp services/DuplicateCandidates.h
    services/DuplicateFinder.cpp services/DuplicateFinder.h
    services/ContentReader.cpp services/ContentReader.h
    services/HashCache.cpp services/HashCache.h
)
