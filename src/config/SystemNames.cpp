#include "config/SystemNames.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {
// The length of the UTF-8 sequence a lead byte starts; 1 for a byte that starts none.
int SequenceLength(quint8 lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    return lead >= 0xC0 ? 2 : 1;
}

// The bytes as text; each byte that is no part of a character shown as \xNN.
QString Shown(const QByteArray &bytes)
{
    QString shown;
    for (qsizetype i = 0; i < bytes.size();) {
        const quint8 lead = quint8(bytes[i]);
        const int length = lead < 0x80 ? 1 : SequenceLength(lead);
        const QByteArray piece = bytes.mid(i, length);
        const bool text = lead >= 0x20 && lead != 0x7F && piece.size() == length
            && (lead < 0x80 || (length > 1 && SystemNames::SurvivesDecoding(piece)));
        if (text) {
            shown += QFile::decodeName(piece);
            i += length;
        } else {
            shown += u"\\x"_s + QString::number(lead, 16).toUpper().rightJustified(2, u'0');
            ++i;
        }
    }
    return shown;
}
} // namespace

namespace SystemNames {
bool SurvivesDecoding(const QByteArray &name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

std::optional<QByteArray> FirstUndecodableArgument(int argc, const char *const *argv)
{
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
#else
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (!SurvivesDecoding(argument))
            return argument;
    }
#endif
    return std::nullopt;
}

QString UndecodableArgumentMessage(const QByteArray &argument)
{
    return u"аргумент «%1» не читается как текст в кодировке системы (UTF-8): файл с таким именем был бы "
           u"записан или прочитан под другим именем; переименуйте его"_s.arg(Shown(argument));
}

bool IsLossy(const QString &name)
{
    return name.contains(QChar::ReplacementCharacter);
}
} // namespace SystemNames
