#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Names as the system keeps them: bytes. The program works with text, so a
// name whose bytes are no text in the system's encoding (a file named in
// Windows-1251 on a UTF-8 system) would come back as other bytes, and a file
// would be written under a name nobody gave. Such names are refused.
namespace SystemNames {
// Whether the bytes come back the same after decoding to text and encoding again.
bool SurvivesDecoding(const QByteArray &name);

// The first of the command-line arguments after the program's name that does
// not survive decoding (always nothing where arguments arrive as text).
std::optional<QByteArray> FirstUndecodableArgument(int argc, const char *const *argv);

// "аргумент «...» ...": why the tool refuses that argument, its bytes that are
// no text shown as \xCF.
QString UndecodableArgumentMessage(const QByteArray &argument);

// Whether a name holds the replacement character that decoding puts for bytes
// that are no text: the file it names is not the file the user saw.
bool IsLossy(const QString &name);
} // namespace SystemNames
