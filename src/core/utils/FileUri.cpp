#include "FileUri.h"

namespace plenvo {

QByteArray FileUri::fromPath(std::string_view path)
{
    const QByteArray bytes = QByteArray::fromRawData(path.data(), qsizetype(path.size()));
    return QByteArrayLiteral("file://") + bytes.toPercentEncoding("/");
}

} // namespace plenvo
