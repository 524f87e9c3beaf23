#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// Paths as the file system holds them. On Linux a name is a string of bytes that need not be
// UTF-8: answer files copied from Windows often carry Cyrillic names in code page 1251. Such a
// name cannot pass through a QString and back, so files are listed and opened by their bytes,
// and a QString is made only to show a name.
using NativePath = QByteArray;

// The bytes of a path the user named. A QString that came from a name which was not UTF-8
// holds U+FFFD where the bad bytes were; such components are looked up in their folder, and
// a component that matches exactly one entry there takes that entry's bytes.
NativePath toNativePath(const QString &path);

// A name or path for the user to read: UTF-8 when its bytes are valid UTF-8, otherwise code
// page 1251, the encoding of the Windows machines answer files come from.
QString displayPath(QByteArrayView native);

// True when the path names a folder (following links).
bool isFolder(const NativePath &path);

// Joins a folder and a name with one separator.
NativePath joinPath(const NativePath &folder, const NativePath &name);

// The path from the root: a relative one joined to the working folder.
NativePath absolutePath(const NativePath &path);
// The path with links, "." and ".." resolved; the path itself when it names nothing.
NativePath resolvedPath(const NativePath &path);
// The last component of the path as shown, slashes at its end aside.
QString lastPathName(const NativePath &path);
// The same, and for ".", ".." and the like the name of the folder they mean.
QString meantName(const NativePath &path);
