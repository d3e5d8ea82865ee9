#pragma once

// The version file of the maker's web server: its first line names the newest release, in the
// same form as the program's own version text. Pure functions, tested on their own.

#include <QByteArray>

namespace version_line {

// The version text of this program; the only version value it holds.
inline constexpr char kProgramVersion[] = "3.0";

// The first line of a text file's content: the characters before the first line feed (or the
// whole content), with a carriage return right before that line feed dropped, every other
// carriage return dropped too, and a Ctrl-Z (character 26) ending the line as the end of the
// file does.
QByteArray firstLine(const QByteArray& content);

// Whether a version file announces a version other than this program's: an exact comparison
// of its first line with kProgramVersion, with no trimming and no numeric reading, so an empty
// line, an older number or "3.00" announce one too.
bool announcesOtherVersion(const QByteArray& content);

} // namespace version_line
