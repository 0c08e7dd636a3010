#include "core/systemerror.h"

#include "core/language.h"
#include "core/text.h"

#include <QFile>
#include <cerrno>
#include <cstring>

namespace tk {

QString reasonOf(int errnum)
{
    QString chinese;
    switch (errnum) {
    case ENOSPC:
        chinese = Texts::tr("磁盘空间不足");
        break;
#ifdef EDQUOT
    case EDQUOT:
        chinese = Texts::tr("超出磁盘配额");
        break;
#endif
    case EACCES:
    case EPERM:
        chinese = Texts::tr("没有权限");
        break;
    case EROFS:
        chinese = Texts::tr("文件系统是只读的");
        break;
    case EISDIR:
        chinese = Texts::tr("这是一个文件夹");
        break;
    case ENAMETOOLONG:
        chinese = Texts::tr("文件名太长");
        break;
    case ENOENT:
        chinese = Texts::tr("文件或文件夹不存在");
        break;
    case ENOTDIR:
        chinese = Texts::tr("路径中有一项不是文件夹");
        break;
    case EIO:
        chinese = Texts::tr("读写设备出错");
        break;
    case EFBIG:
        chinese = Texts::tr("文件太大");
        break;
    case EMFILE:
    case ENFILE:
        chinese = Texts::tr("打开的文件太多");
        break;
    default:
        break;
    }
    const QString system = QString::fromLocal8Bit(std::strerror(errnum));
    return chinese.isEmpty() ? system : Texts::tr("%1（%2）").arg(chinese, system);
}

namespace {

// Length of the valid UTF-8 sequence at `s` (at most `n` bytes), or 0.
int validSequence(const uchar *s, qsizetype n)
{
    const uchar c = s[0];
    int length;
    uint value;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        value = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        value = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        value = c & 0x07;
    } else {
        return 0;
    }
    if (n < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (s[i] & 0x3F);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return overlong || surrogate || value > 0x10FFFF ? 0 : length;
}

void appendEscaped(QString &out, uint c)
{
    switch (c) {
    case '\n':
        out += QLatin1String("\\n");
        break;
    case '\t':
        out += QLatin1String("\\t");
        break;
    case '\r':
        out += QLatin1String("\\r");
        break;
    default:
        out += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
    }
}

} // namespace

QString printableName(const QByteArray &nativeName)
{
    const auto *s = reinterpret_cast<const uchar *>(nativeName.constData());
    const qsizetype n = nativeName.size();
    QString out;
    for (qsizetype i = 0; i < n;) {
        const int length = validSequence(s + i, n - i);
        if (length == 0) {
            appendEscaped(out, s[i]);
            ++i;
            continue;
        }
        const QString text = QString::fromUtf8(nativeName.constData() + i, length);
        const uint c = text.at(0).unicode();
        if (isControlCharacter(c))
            appendEscaped(out, c);
        else if (c == '\\')
            out += QLatin1String("\\\\");
        else
            out += text;
        i += length;
    }
    return out;
}

QString printableName(const QString &name)
{
    return printableName(name.toUtf8());
}

bool isValidText(const QByteArray &nativeName)
{
    return QFile::encodeName(QFile::decodeName(nativeName)) == nativeName;
}

QString shownName(const QByteArray &nativeName)
{
    return isValidText(nativeName) ? QFile::decodeName(nativeName) : printableName(nativeName);
}

} // namespace tk
