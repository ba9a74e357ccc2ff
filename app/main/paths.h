// Where the program keeps its files.  The configuration and the default base
// live beside the executable; an installed program, whose directory the user
// cannot write, keeps them in the user's configuration directory instead.
#pragma once

#include <QString>

namespace tessarin {

// The directory of the executable (tests put a directory of their own in
// its place; an empty text restores the executable's).
QString programDirectory();
void setProgramDirectory(const QString &directory);

// The directory of the configuration and of the base names without a
// directory: the program's directory when it is writable, else the user's
// configuration directory (created on demand).
QString dataDirectory();

// The configuration file's full name.
QString configurationPath();

// The file a base name stands for: an empty name is the default base, a bare
// file name lies in the data directory.  When the data directory is not the
// program's own, the default base starts as a copy of the handbook installed
// beside the program.
QString baseFileOf(const QString &baseName);

// Whether `name` has a directory part.
bool hasDirectory(const QString &name);

}  // namespace tessarin
