#include "app/commandline.h"

#include "statistics/dataerror.h"
#include "formats/fieldreader.h"
#include "formats/filename.h"
#include "statistics/numeric.h"
#include "statistics/series.h"
#include "platform/samefile.h"
#include "print/printjob.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

const QString kProgram = QStringLiteral("quorvel");

// The interface as the users' documentation gives it; the English block is the reference, the
// Japanese one says the same.
const char kHelpJapanese[] =
    "quorvel [FILE]                                  ウィンドウを開き、FILE "
    "を「開く(&O)」と同じように開く\n"
    "quorvel --pdf OUT [OPTIONS] FILE...             各 FILE の印刷紙面を PDF "
    "に出力（ウィンドウなし）\n"
    "quorvel --results [--json] [OPTIONS] FILE...    解析結果を標準出力に出力（ウィンドウなし）\n"
    "quorvel --results --distributions [--target T] [--json] [OPTIONS] FILE...\n"
    "                                                11 の確率分布の比較（SLSC、X-COR、"
    "ジャックナイフ、選定）\n"
    "quorvel --import OUT [IMPORT OPTIONS] FILE      観測データ（気象庁のダウンロード CSV "
    "など）から"
    "年の値の系列を作り、OUT に書く（ウィンドウなし）\n"
    "quorvel --help | --version\n"
    "--distributions の CSV の列\n"
    "  file,model,name,applicable,slsc,x_cor,dry10,dry100,wet10,wet100,jk_dry10,jk_dry100,"
    "jk_wet10,jk_wet100,se_dry10,se_dry100,se_wet10,se_wet100,passes,selected,problem\n"
    "  ファイルごとに 11 行（ln2_paper ln2_pm ln2_lm ln3_iwai ln3_q ln3_lm lp3 exp gumbel "
    "sqrtet gev の順）。\n"
    "  dry/wet は 1/10・1/100 の渇水年・豊水年の確率値、jk_ はジャックナイフ推定値、se_ は"
    "その推定誤差、\n"
    "  applicable・passes（SLSC ≤ 0.04）・selected は 1 か 0、problem は当てはめられない理由。"
    "ない値は空欄。\n"
    "  --json では各ファイルに selection と distributions（母数、SLSC、X-COR、11 の再現期間の"
    "値・推定値・誤差）が加わる。\n"
    "OPTIONS\n"
    "  --alpha A          非超過確率計算のα値（既定 0.5）\n"
    "  --scale MIN:MAX    横軸の両端（10 のべき乗）：MIN は 0.1 1 10 100 1000 のどれか、MAX は 10 "
    "100 1000 10000 100000 のどれか（既定はデータに合わせる：値が全部 10～1000 にあれば "
    "10:1000）\n"
    "  --mode 0|1|2       0 点だけ、1 回帰線も、2 回帰線と解析値も印刷（既定 0）\n"
    "  --widths S,D,R     実線・点線・回帰線の印刷の太さ、それぞれ 1～5（既定 3,2,5）\n"
    "  --offset X,Y       印刷位置の移動 mm、右方向と上方向（既定 0,0）\n"
    "  --title TEXT       横軸のタイトル（既定 降水量　(mm)）\n"
    "  --distributions    --results に 11 の確率分布の比較を加える\n"
    "  --target T         --distributions の選定基準：dry10 dry100 wet10 wet100 のどれか"
    "（1/10 渇水年、1/100 渇水年、1/10 豊水年、1/100 豊水年。既定 wet100）\n"
    "IMPORT OPTIONS\n"
    "  --aggregate sum|max  月・日の値の年合計か年最大（既定 sum）\n"
    "  --days N           年最大 N 日：連続 N 日の合計の最大、N は 1～7、日ごとの値だけ（既定 1）\n"
    "  --year-start M     年の始まりの月 1～12（既定 1、年度は 4、水年は 10）\n"
    "  --coverage P       有効な日（月）がこの % に満たない年は除く（既定 80）\n"
    "  --date-column C    日付（または年）の列、1 から数える（既定 自動）\n"
    "  --value-column C   値の列、1 から数える（既定 自動）\n"
    "  --from Y, --to Y   取り込む期間の最初と最後の年\n";

const char kHelpEnglish[] =
    "quorvel [FILE]                                  the window, then FILE opened as \"開く(&O)\" "
    "would\n"
    "quorvel --pdf OUT [OPTIONS] FILE...             the printed page of each FILE, no window\n"
    "quorvel --results [--json] [OPTIONS] FILE...    the results on standard output, no window\n"
    "quorvel --results --distributions [--target T] [--json] [OPTIONS] FILE...\n"
    "                                                the eleven candidate distributions compared "
    "(SLSC, X-COR, jackknife, selection)\n"
    "quorvel --import OUT [IMPORT OPTIONS] FILE      the annual series of an observation file (the "
    "Agency's CSV download and the like) written to OUT, no window\n"
    "quorvel --help | --version\n"
    "CSV columns with --distributions\n"
    "  file,model,name,applicable,slsc,x_cor,dry10,dry100,wet10,wet100,jk_dry10,jk_dry100,"
    "jk_wet10,jk_wet100,se_dry10,se_dry100,se_wet10,se_wet100,passes,selected,problem\n"
    "  eleven rows per file (ln2_paper ln2_pm ln2_lm ln3_iwai ln3_q ln3_lm lp3 exp gumbel sqrtet "
    "gev in this order);\n"
    "  dry/wet are the 1-in-10 and 1-in-100 dry- and wet-year values, jk_ their jackknife "
    "estimates, se_ the jackknife errors;\n"
    "  applicable, passes (SLSC <= 0.04) and selected are 1 or 0, problem says why a model does "
    "not apply; a missing figure is empty.\n"
    "  With --json each file's object gains selection and distributions (parameters, SLSC, "
    "X-COR, values, estimates and errors of the eleven periods).\n"
    "OPTIONS\n"
    "  --alpha A          plotting-position parameter (default 0.5)\n"
    "  --scale MIN:MAX    value axis ends, powers of ten: MIN one of 0.1 1 10 100 1000, MAX one of "
    "10 100 1000 10000 100000 (default: fitted to the data, 10:1000 when every value lies "
    "inside)\n"
    "  --mode 0|1|2       0 points only, 1 with the fitted line, 2 with line and results block "
    "(default 0)\n"
    "  --widths S,D,R     print widths of solid, dotted and fitted lines, 1 to 5 each (default "
    "3,2,5)\n"
    "  --offset X,Y       print offsets in mm, right and up (default 0,0)\n"
    "  --title TEXT       value-axis title (default 降水量　(mm))\n"
    "  --distributions    add the comparison of the eleven candidate distributions to --results\n"
    "  --target T         what --distributions selects by: dry10 dry100 wet10 wet100 (the "
    "jackknife error of the 1-in-10 or 1-in-100 dry- or wet-year value; default wet100)\n"
    "IMPORT OPTIONS\n"
    "  --aggregate sum|max  annual total or annual maximum of monthly or daily values (default "
    "sum)\n"
    "  --days N           the largest sum of N consecutive days, N 1 to 7, daily values only "
    "(default 1)\n"
    "  --year-start M     first month of the year, 1 to 12 (default 1; 4 fiscal, 10 water year)\n"
    "  --coverage P       leave out years with fewer valid days (months) than P % (default 80)\n"
    "  --date-column C    column of the date or year, counted from 1 (default detected)\n"
    "  --value-column C   column of the values, counted from 1 (default detected)\n"
    "  --from Y, --to Y   first and last year to take\n";

// A usage error: the parse stops at the first one.
struct Usage {
    QString message;
};

[[noreturn]] void Refuse(const QString& message) {
    throw Usage{message};
}

// A whole option value as a number: "5mm" or "" is not one, as the shell user would expect.
std::optional<double> Number(const QString& text) {
    return ParseReal(text.trimmed().toUtf8());
}

// The exponent of a scale value among the menu's choices ("1e3" is 1000 as well).
std::optional<int32_t> ScaleExponent(const QString& text, int32_t lowest, int32_t highest) {
    const std::optional<double> value = Number(text);
    if (!value)
        return std::nullopt;
    for (int32_t exponent = lowest; exponent <= highest; ++exponent)
        if (FormatReal(*value) == PowerOfTenText(exponent))
            return exponent;
    return std::nullopt;
}

// Qt's parser speaks English; the two errors it can still report here are said in Japanese.
QString ParserErrorText(const QString& qtText) {
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.+)'\\.$"));
    static const QRegularExpression unexpected(
        QStringLiteral("^Unexpected value after '(.+)'\\.$"));
    if (const QRegularExpressionMatch m = missing.match(qtText); m.hasMatch())
        return QStringLiteral("%1 の後に値がありません。").arg(m.captured(1));
    if (const QRegularExpressionMatch m = unexpected.match(qtText); m.hasMatch())
        return QStringLiteral("%1 には値を付けられません。").arg(m.captured(1));
    return QStringLiteral("オプションの指定が正しくありません。");
}

QStringList Parts(const QString& option, const QString& text, QChar separator, int count,
                  const char* form) {
    const QStringList parts = text.split(separator);
    if (parts.size() != count)
        Refuse(QStringLiteral("--%1 は %2 の形で指定してください（「%3」）。")
                   .arg(option, QString::fromUtf8(form), text));
    return parts;
}

void ReadAlpha(const QString& text, BatchSettings& settings) {
    const std::optional<double> alpha = Number(text);
    if (!alpha)
        Refuse(QStringLiteral("--alpha の値「%1」が数値ではありません。").arg(text));
    if (*alpha < 0)
        Refuse(QStringLiteral("α値は負値なしです。--alpha には 0 以上の数値を指定してください"
                              "（「%1」）。")
                   .arg(text));
    // The smallest series (two records) allows the most; beyond that no file could take it.
    if (*alpha > MaxAlphaFor(2))
        Refuse(AlphaTooLargeText(*alpha, 2));
    settings.chart.alpha = *alpha;
    settings.alphaGiven = true;
}

void ReadScale(const QString& text, BatchSettings& settings) {
    const QStringList parts = Parts(QStringLiteral("scale"), text, QLatin1Char(':'), 2, "MIN:MAX");
    const std::optional<int32_t> minimum = ScaleExponent(parts[0], -1, 3);
    if (!minimum)
        Refuse(QStringLiteral("横軸の最小値「%1」は 0.1 1 10 100 1000 のどれかにしてください。")
                   .arg(parts[0]));
    const std::optional<int32_t> maximum = ScaleExponent(parts[1], 1, 5);
    if (!maximum)
        Refuse(
            QStringLiteral("横軸の最大値「%1」は 10 100 1000 10000 100000 のどれかにしてください。")
                .arg(parts[1]));
    ChartSettings scale;
    scale.scaleMinIndex = *minimum;
    scale.scaleMaxIndex = *maximum;
    if (!ScaleIsValid(scale))
        Refuse(
            kScaleMessage +
            QStringLiteral("：横軸の最小値は最大値より小さくしてください（「%1」）。").arg(text));
    settings.chart.scaleMinIndex = *minimum;
    settings.chart.scaleMaxIndex = *maximum;
    settings.scaleGiven = true;
}

void ReadMode(const QString& text, BatchSettings& settings) {
    const qsizetype mode =
        QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}.indexOf(
            text.trimmed());
    if (mode < 0)
        Refuse(QStringLiteral("--mode は 0、1、2 のどれかにしてください（「%1」）。").arg(text));
    settings.chart.analysisMode = static_cast<int32_t>(mode);
}

void ReadWidths(const QString& text, BatchSettings& settings) {
    const QStringList parts = Parts(QStringLiteral("widths"), text, QLatin1Char(','), 3, "S,D,R");
    int32_t* widths[] = {&settings.chart.solidLineWidth, &settings.chart.dashedLineWidth,
                         &settings.chart.regressionLineWidth};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int width = parts[i].trimmed().toInt(&ok);
        if (!ok || width < 1 || width > 5)
            Refuse(QStringLiteral("印刷線の太さ「%1」は 1 から 5 の整数にしてください。")
                       .arg(parts[i]));
        *widths[i] = width;
    }
}

void ReadOffsets(const QString& text, BatchSettings& settings) {
    const QStringList parts = Parts(QStringLiteral("offset"), text, QLatin1Char(','), 2, "X,Y");
    for (const QString& part : parts)
        if (!Number(part))
            Refuse(QStringLiteral("印刷位置「%1」が数値ではありません。").arg(part));
    // An offset that puts the chart off the sheet would print an empty page.
    try {
        CheckPrintOffsets(ReadPrintOffset(parts[0]), ReadPrintOffset(parts[1]));
    } catch (const DataError& error) {
        Refuse(error.message());
    }
    settings.offsetRight = parts[0].trimmed();
    settings.offsetUp = parts[1].trimmed();
}

void ReadTitle(const QString& text, BatchSettings& settings) {
    if (text.isEmpty())
        Refuse(QStringLiteral("横軸のタイトルが空です。--title に文字を指定してください。"));
    settings.chart.axisTitle = text;
}

// A whole option value as a whole number within bounds.
int WholeNumber(const QString& option, const QString& text, int lowest, int highest) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < lowest || value > highest)
        Refuse(QStringLiteral("--%1 は %2 から %3 の整数にしてください（「%4」）。")
                   .arg(option)
                   .arg(lowest)
                   .arg(highest)
                   .arg(text));
    return value;
}

void ReadImportOptions(const QCommandLineParser& parser, ImportOptions& options) {
    const QString aggregate = parser.value(QStringLiteral("aggregate"));
    if (parser.isSet(QStringLiteral("aggregate"))) {
        if (aggregate != QStringLiteral("sum") && aggregate != QStringLiteral("max"))
            Refuse(QStringLiteral("--aggregate は sum か max にしてください（「%1」）。")
                       .arg(aggregate));
        options.aggregate =
            aggregate == QStringLiteral("sum") ? ImportAggregate::Sum : ImportAggregate::Max;
    }
    if (parser.isSet(QStringLiteral("days"))) {
        options.days =
            WholeNumber(QStringLiteral("days"), parser.value(QStringLiteral("days")), 1, 7);
        // The days only mean something for the maximum, which they then imply.
        if (aggregate == QStringLiteral("sum"))
            Refuse(QStringLiteral("--days は --aggregate max と一緒に指定してください。"));
        options.aggregate = ImportAggregate::Max;
    }
    if (parser.isSet(QStringLiteral("year-start")))
        options.yearStartMonth = WholeNumber(QStringLiteral("year-start"),
                                             parser.value(QStringLiteral("year-start")), 1, 12);
    if (parser.isSet(QStringLiteral("coverage"))) {
        QString text = parser.value(QStringLiteral("coverage")).trimmed();
        if (text.endsWith(u'%'))
            text.chop(1);
        const std::optional<double> share = Number(text);
        if (!share || *share < 0 || *share > 100)
            Refuse(QStringLiteral("--coverage は 0 から 100 の数値（%）にしてください（「%1」）。")
                       .arg(parser.value(QStringLiteral("coverage"))));
        options.coverage = *share;
    }
    // Columns as the file shows them, counted from 1.
    if (parser.isSet(QStringLiteral("date-column")))
        options.dateColumn = WholeNumber(QStringLiteral("date-column"),
                                         parser.value(QStringLiteral("date-column")), 1, 10000) -
                             1;
    if (parser.isSet(QStringLiteral("value-column")))
        options.valueColumn = WholeNumber(QStringLiteral("value-column"),
                                          parser.value(QStringLiteral("value-column")), 1, 10000) -
                              1;
    if (parser.isSet(QStringLiteral("from")))
        options.fromYear =
            WholeNumber(QStringLiteral("from"), parser.value(QStringLiteral("from")), 1000, 9999);
    if (parser.isSet(QStringLiteral("to")))
        options.toYear =
            WholeNumber(QStringLiteral("to"), parser.value(QStringLiteral("to")), 1000, 9999);
    if (options.fromYear && options.toYear && *options.fromYear > *options.toYear)
        Refuse(QStringLiteral("--from の年（%1）が --to の年（%2）より後です。")
                   .arg(*options.fromYear)
                   .arg(*options.toYear));
}

void CheckImportOut(const CommandLine& command) {
    if (command.importOut.isEmpty())
        Refuse(QStringLiteral("--import の出力先が空です。"));
    if (command.files.size() != 1)
        Refuse(QStringLiteral("--import で取り込めるファイルは一つだけです。"));
    if (QFileInfo(command.importOut).isDir())
        Refuse(
            QStringLiteral("--import の出力先「%1」はフォルダです。ファイル名を指定してください。")
                .arg(DisplayFileName(command.importOut)));
    // A forgotten OUT would otherwise take the observation file's name and overwrite it; a link
    // to it is the same file.
    try {
        RefuseOverwritingInput(command.importOut, command.files);
    } catch (const DataError& error) {
        Refuse(error.message());
    }
}

// Where the pages go, checked before anything is written: a folder for several files, and
// never a file that one of the data files is, or another page, links followed.
void CheckPdfOut(CommandLine& command) {
    struct stat out {};
    const bool exists = stat(EncodeFileName(command.pdfOut).constData(), &out) == 0;
    command.pdfIntoFolder = exists && S_ISDIR(out.st_mode);
    // "pages/" is a folder by its form; so is a name without .pdf for several files. A folder
    // that is not there is named as such, not taken for a badly named file.
    const bool meantAsFolder =
        command.pdfOut.endsWith(QLatin1Char('/')) ||
        (command.files.size() > 1 && !exists &&
         !command.pdfOut.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive));
    if (!command.pdfIntoFolder && meantAsFolder)
        Refuse(QStringLiteral("--pdf の出力先のフォルダ「%1」がありません。先にフォルダを作って"
                              "ください。")
                   .arg(DisplayFileName(command.pdfOut)));
    if (command.files.size() > 1 && !command.pdfIntoFolder)
        Refuse(QStringLiteral("FILE が複数のときは、--pdf には既にあるフォルダを指定してください"
                              "（「%1」）。")
                   .arg(DisplayFileName(command.pdfOut)));
    // A forgotten OUT would otherwise take the first data file's name and overwrite it.
    if (!command.pdfIntoFolder &&
        !command.pdfOut.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        Refuse(
            QStringLiteral("--pdf の出力ファイル名は .pdf で終わるようにしてください（「%1」）。")
                .arg(DisplayFileName(command.pdfOut)));
    if (!command.pdfIntoFolder) {
        const QString folder = AbsoluteFileName(command.pdfOut).section(QLatin1Char('/'), 0, -2);
        struct stat dir {};
        if (!folder.isEmpty() &&
            !(stat(EncodeFileName(folder).constData(), &dir) == 0 && S_ISDIR(dir.st_mode)))
            Refuse(QStringLiteral("--pdf の出力先のフォルダ「%1」がありません。")
                       .arg(DisplayFileName(folder)));
    }
    const InputFiles inputs(command.files);
    QSet<QByteArray> pages;
    for (const QString& file : command.files) {
        const QString page = command.pdfPathFor(file);
        QByteArray identity;
        try {
            inputs.RefuseOverwriting(page);
            identity = FileIdentity(page);
        } catch (const DataError& error) {
            Refuse(error.message());
        }
        if (pages.contains(identity))
            Refuse(QStringLiteral("PDF の出力先「%1」が重なります。同じ名前の FILE は別々に"
                                  "出力してください。")
                       .arg(DisplayFileName(page)));
        pages.insert(identity);
    }
}

} // namespace

ChartSettings BatchSettings::FirstLoadSettings() {
    ChartSettings settings;
    // Before any file: the scale each file then takes is fitted after its load.
    ApplyFirstLoadDefaults(settings, SeriesData{});
    return settings;
}

QString CommandLine::pdfPathFor(const QString& file) const {
    if (!pdfIntoFolder)
        return pdfOut;
    // The page takes the name the print command offers for the same file.
    return QDir(pdfOut).filePath(QFileInfo(SuggestedPdfPath(AbsoluteFileName(file))).fileName());
}

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine command;
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version(QStringLiteral("version"), {});
    const QCommandLineOption pdf(QStringLiteral("pdf"), {}, QStringLiteral("OUT"));
    const QCommandLineOption results(QStringLiteral("results"), {});
    const QCommandLineOption json(QStringLiteral("json"), {});
    const QCommandLineOption distributions(QStringLiteral("distributions"), {});
    const QCommandLineOption target(QStringLiteral("target"), {}, QStringLiteral("T"));
    struct Setting {
        QCommandLineOption option;
        void (*read)(const QString&, BatchSettings&);
    };
    const Setting settings[] = {
        {QCommandLineOption(QStringLiteral("alpha"), {}, QStringLiteral("A")), ReadAlpha},
        {QCommandLineOption(QStringLiteral("scale"), {}, QStringLiteral("MIN:MAX")), ReadScale},
        {QCommandLineOption(QStringLiteral("mode"), {}, QStringLiteral("0|1|2")), ReadMode},
        {QCommandLineOption(QStringLiteral("widths"), {}, QStringLiteral("S,D,R")), ReadWidths},
        {QCommandLineOption(QStringLiteral("offset"), {}, QStringLiteral("X,Y")), ReadOffsets},
        {QCommandLineOption(QStringLiteral("title"), {}, QStringLiteral("TEXT")), ReadTitle},
    };
    parser.addOptions({help, version, pdf, results, json, distributions, target});
    for (const Setting& setting : settings)
        parser.addOption(setting.option);
    const QCommandLineOption import(QStringLiteral("import"), {}, QStringLiteral("OUT"));
    parser.addOption(import);
    const QStringList importOptionNames = {
        QStringLiteral("aggregate"), QStringLiteral("days"),        QStringLiteral("year-start"),
        QStringLiteral("coverage"),  QStringLiteral("date-column"), QStringLiteral("value-column"),
        QStringLiteral("from"),      QStringLiteral("to")};
    for (const QString& name : importOptionNames)
        parser.addOption(QCommandLineOption(name, {}, QStringLiteral("VALUE")));

    try {
        if (!parser.parse(arguments)) {
            if (!parser.unknownOptionNames().isEmpty())
                Refuse(QStringLiteral("知らないオプションです：%1")
                           .arg(parser.unknownOptionNames().first()));
            Refuse(ParserErrorText(parser.errorText()));
        }
        if (parser.isSet(help)) {
            command.action = CommandLine::Action::Help;
            return command;
        }
        if (parser.isSet(version)) {
            command.action = CommandLine::Action::Version;
            return command;
        }
        command.files = parser.positionalArguments();
        for (const QString& name : importOptionNames)
            if (parser.isSet(name) && !parser.isSet(import))
                Refuse(QStringLiteral("--%1 は --import と一緒に指定してください。").arg(name));
        if (parser.isSet(import)) {
            if (parser.isSet(pdf) || parser.isSet(results))
                Refuse(QStringLiteral("--import は --pdf や --results と一緒には指定できません。"));
            std::vector<const QCommandLineOption*> others{&json, &distributions, &target};
            for (const Setting& setting : settings)
                others.push_back(&setting.option);
            for (const QCommandLineOption* option : others)
                if (parser.isSet(*option))
                    Refuse(QStringLiteral("--%1 は --import と一緒には指定できません。")
                               .arg(option->names().first()));
            command.importOut = parser.value(import);
            CheckImportOut(command);
            ReadImportOptions(parser, command.importOptions);
            command.action = CommandLine::Action::Import;
            return command;
        }
        const bool batch = parser.isSet(pdf) || parser.isSet(results);
        if (parser.isSet(json) && !parser.isSet(results))
            Refuse(QStringLiteral("--json は --results と一緒に指定してください。"));
        if (parser.isSet(distributions) && !parser.isSet(results))
            Refuse(QStringLiteral("--distributions は --results と一緒に指定してください。"));
        if (parser.isSet(target)) {
            if (!parser.isSet(distributions))
                Refuse(QStringLiteral("--target は --distributions と一緒に指定してください。"));
            const std::optional<Target> chosen = TargetFromKey(parser.value(target).trimmed());
            if (!chosen)
                Refuse(QStringLiteral("--target は dry10、dry100、wet10、wet100 のどれかにして"
                                      "ください（「%1」）。")
                           .arg(parser.value(target)));
            command.target = *chosen;
        }
        for (const Setting& setting : settings) {
            if (!parser.isSet(setting.option))
                continue;
            if (!batch)
                Refuse(QStringLiteral("--%1 は --pdf か --results と一緒に指定してください。")
                           .arg(setting.option.names().first()));
            setting.read(parser.value(setting.option), command.settings);
        }
        if (!batch) {
            if (command.files.size() > 1)
                Refuse(QStringLiteral("ウィンドウで開けるファイルは一つだけです。"));
            // The window may change its directory later; the file stays where the shell meant.
            if (!command.files.isEmpty())
                command.files[0] = AbsoluteFileName(command.files[0]);
            return command;
        }
        if (command.files.isEmpty())
            Refuse(QStringLiteral("FILE がありません。処理するデータファイルを指定してください。"));
        command.action = CommandLine::Action::Batch;
        command.results = parser.isSet(results);
        command.json = parser.isSet(json);
        command.distributions = parser.isSet(distributions);
        if (parser.isSet(pdf)) {
            command.pdfOut = parser.value(pdf);
            if (command.pdfOut.isEmpty())
                Refuse(QStringLiteral("--pdf の出力先が空です。"));
            CheckPdfOut(command);
        }
    } catch (const Usage& usage) {
        command = CommandLine();
        command.action = CommandLine::Action::UsageError;
        command.error = usage.message;
    }
    return command;
}

QString HelpText() {
    return QString::fromUtf8(kHelpJapanese) + QLatin1Char('\n') + QString::fromUtf8(kHelpEnglish);
}

QString VersionText() {
    return kProgram + QLatin1Char(' ') + QStringLiteral(QUORVEL_VERSION) + QLatin1Char('\n');
}

QString UsageHint() {
    return QStringLiteral("使い方は quorvel --help で表示されます（Try 'quorvel --help'）。\n");
}
