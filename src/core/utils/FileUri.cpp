#include "FileUri.h"

namespace plenvo {

QByteArray FileUri::fromPath(std::string_view path)
{
    const QByteArray bytes = QByteArray::fromRawData(path.data(), qsizetype(path.size()));
    return QByteArrayLiteral("file://") + bytes.toPercentEncoding("/");
}

QByteArray FileUri::ofContainingFolder(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || slash == 0)
        return fromPath("/");
    return fromPath(path.substr(0, slash));
}

} // namespace plenvo
