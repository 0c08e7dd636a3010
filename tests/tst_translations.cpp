// Every text a user can see is marked for translation and has its English: a Chinese
// literal outside a translation call (named by file and line), or a marked text that
// the English translation lacks, fails here.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <algorithm>

namespace {

// CJK ideographs, punctuation and full-width forms: what only a Chinese text holds.
bool isChinese(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFF00 && u <= 0xFFEF);
}

bool holdsChinese(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), isChinese);
}

// The %1, %2 … of a text, each once.
QStringList placeholders(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("%\\d+"));
    QStringList found;
    for (auto it = number.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    found.removeDuplicates();
    return found;
}

// The calls whose literals lupdate collects.
const QStringList MarkingCalls{"tr", "translate", "QT_TR_NOOP", "QT_TRANSLATE_NOOP",
                               "QT_TRANSLATE_NOOP3"};

// Chinese that is data, never shown as a text of ours.
const QList<QPair<QString, QString>> NotTexts{
    // the ad page's own words, which the page is read by
    {"ads/adpage.cpp", "广告位"},
    {"ads/adpage.cpp", "总数"},
    {"ads/adpage.cpp", "总开关"},
    {"ads/adpage.cpp", "开"},
    // a document's file name, which the design fixes
    {"core/companionfiles.cpp", "广告合作及其协议.txt"},
};

struct Literal {
    int line;
    QString text;
    QString call; // the function or macro it is an argument of; empty at top level
};

const QStringList RawPrefixes{"R", "u8R", "uR", "UR", "LR"};
const QStringList CharacterPrefixes{"u8", "u", "U", "L"};

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The string literals of C++ source, comments left out, each with the name before the
// innermost parenthesis it stands in.
QList<Literal> literalsOf(const QString &code)
{
    QList<Literal> literals;
    QStringList calls;
    QString word; // the last name read, while nothing else has come since
    qsizetype wordEnd = -1;
    int line = 1;
    const qsizetype n = code.size();
    const auto skipTo = [&](qsizetype &i, const QString &end) {
        const qsizetype at = code.indexOf(end, i);
        const qsizetype stop = at < 0 ? n : at + end.size();
        line += int(code.mid(i, stop - i).count(QLatin1Char('\n')));
        i = stop;
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = code[i];
        const QChar next = i + 1 < n ? code[i + 1] : QChar();
        if (c == QLatin1Char('/') && next == QLatin1Char('/')) {
            skipTo(i, QStringLiteral("\n"));
            ++line;
            word.clear();
        } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            i += 2;
            skipTo(i, QStringLiteral("*/"));
        } else if (c == QLatin1Char('"')) {
            const int startLine = line;
            qsizetype start = i + 1;
            const bool raw = wordEnd == i && RawPrefixes.contains(word);
            if (raw) { // R"delimiter( … )delimiter"
                const qsizetype open = code.indexOf(QLatin1Char('('), start);
                const QString close = QLatin1Char(')') + code.mid(start, open - start) + '"';
                start = open + 1;
                i = start;
                skipTo(i, close);
                literals << Literal{startLine, code.mid(start, i - close.size() - start),
                                    calls.value(calls.size() - 1)};
            } else {
                for (i = start; i < n && code[i] != QLatin1Char('"'); ++i)
                    i += code[i] == QLatin1Char('\\');
                literals << Literal{startLine, code.mid(start, i - start),
                                    calls.value(calls.size() - 1)};
                ++i;
            }
            word.clear();
        } else if (c == QLatin1Char('\'')) {
            // 1'000 has a digit separator; u'x' is a character.
            if (wordEnd == i && !CharacterPrefixes.contains(word)) {
                ++i;
                continue;
            }
            for (++i; i < n && code[i] != QLatin1Char('\''); ++i)
                i += code[i] == QLatin1Char('\\');
            ++i;
            word.clear();
        } else if (isWordCharacter(c)) {
            const qsizetype start = i;
            while (i < n && isWordCharacter(code[i]))
                ++i;
            word = code.mid(start, i - start);
            wordEnd = i;
        } else {
            if (c == QLatin1Char('('))
                calls << word;
            else if (c == QLatin1Char(')') && !calls.isEmpty())
                calls.removeLast();
            if (c == QLatin1Char('\n'))
                ++line;
            if (!c.isSpace())
                word.clear();
            ++i;
        }
    }
    return literals;
}

// The program's sources, as the build lists them for lupdate.
QStringList translatedSources()
{
    QFile list(QStringLiteral(TK_TRANSLATED_SOURCES));
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TstTranslations : public QObject {
    Q_OBJECT
private slots:
    void chineseTextsAreMarked();
    void markedTextsHaveEnglish();
};

void TstTranslations::chineseTextsAreMarked()
{
    const QStringList sources = translatedSources();
    QVERIFY(sources.size() > 50);
    const QDir root(QStringLiteral(TK_SOURCE_DIR));
    QStringList unmarked;
    int marked = 0;
    for (const QString &path : sources) {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QString name = root.relativeFilePath(path);
        for (const Literal &literal : literalsOf(QString::fromUtf8(file.readAll()))) {
            if (!holdsChinese(literal.text) || NotTexts.contains({name, literal.text}))
                continue;
            if (MarkingCalls.contains(literal.call))
                ++marked;
            else
                unmarked << QStringLiteral("%1:%2: \"%3\" in %4()")
                                .arg(name)
                                .arg(literal.line)
                                .arg(literal.text, literal.call);
        }
    }
    for (const QString &text : unmarked)
        qWarning("not marked for translation: %s", qPrintable(text));
    QVERIFY2(unmarked.isEmpty(), qPrintable(QString::number(unmarked.size()) + " texts"));
    QVERIFY(marked > 100);
}

void TstTranslations::markedTextsHaveEnglish()
{
    // The English translation as lupdate brings it up to date with the sources: a new
    // text comes in unfinished.
    QTemporaryDir dir;
    const QString ts = dir.filePath(QStringLiteral("english.ts"));
    QVERIFY(QFile::copy(QStringLiteral(TK_ENGLISH_TS), ts));
    QProcess lupdate;
    lupdate.start(QStringLiteral(TK_LUPDATE),
                  {"-silent", "-no-obsolete", "-locations", "none", "-I", TK_SOURCE_DIR,
                   "@" TK_TRANSLATED_SOURCES, "-ts", ts});
    QVERIFY(lupdate.waitForFinished(60000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

    QFile file(ts);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context, source;
    QStringList lacking;
    int translated = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString english = xml.readElementText();
            if (type == QLatin1String("vanished") || type == QLatin1String("obsolete"))
                continue;
            if (type == QLatin1String("unfinished") || english.isEmpty() || holdsChinese(english) ||
                placeholders(english) != placeholders(source))
                lacking << context + QStringLiteral(": ") + source;
            else
                ++translated;
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    for (const QString &text : lacking)
        qWarning("no English, or one without its %%n, in translations/tesselkraft_en.ts: %s",
                 qPrintable(text));
    QVERIFY2(lacking.isEmpty(), qPrintable(QString::number(lacking.size()) + " texts"));
    QVERIFY(translated > 100);
}

QTEST_GUILESS_MAIN(TstTranslations)
#include "tst_translations.moc"
