// The life of the connected base seen from the program: opening it, closing
// it, and switching to another file, with the rule that nothing the user has
// is lost: a file that is not a base is never overwritten, and a base that
// cannot be written is not closed for another one.
#pragma once

#include <QString>

namespace tessarin {

// The program's messages about base files.
QString cannotOpenMessage(const QString &file);
QString notABaseMessage(const QString &file);
QString cannotCreateMessage(const QString &file);

class BaseSession {
  public:
    // Opens the base of `baseName` (empty: the default base).  A file that
    // is missing starts an empty base there; one that exists but cannot be
    // opened, or is not a base, is reported and is never written to.
    void open(const QString &baseName);
    // Writes the base to its file and frees it; a failed write is reported.
    void close();
    // Replaces the open base by the one in `file`, stored as `baseName`.
    // False, with the reason shown, when the current base could not be
    // written first or `file` is not a usable base; the current base then
    // stays connected and unchanged.
    bool connect(const QString &file, const QString &baseName);

    const QString &baseName() const { return baseName_; }
    bool isOpen() const { return open_; }

  private:
    // Starts the base library on `file`; false, with the reason shown, when
    // `file` exists but could not be read as a base.
    bool start(const QString &file, bool quietWhenMissing);
    // Frees the open base without writing it over its file.
    void discard();

    QString baseName_;
    QString file_;
    bool open_ = false;
    bool writable_ = true;  // false for an empty base standing in for a bad file
};

}  // namespace tessarin
