#pragma once

#include <QByteArray>

#include <string_view>

namespace plenvo {

// file:// URIs for exact locations. A Linux name is a string of bytes that need not be UTF-8,
// so the URI is built from the bytes themselves: every byte outside the unreserved set
// (letters, digits, "-._~") and "/" is percent-encoded ("/x/bad\xff" -> "file:///x/bad%FF").
class FileUri {
public:
    FileUri() = delete;

    // The URI of an absolute location given as raw bytes.
    static QByteArray fromPath(std::string_view path);
};

} // namespace plenvo
