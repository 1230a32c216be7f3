#include "app/commandline.h"

#include "formats/fieldreader.h"
#include "formats/filename.h"
#include "platform/samefile.h"
#include "print/printjob.h"
#include "report/report.h"
#include "statistics/dataerror.h"
#include "statistics/intensity.h"
#include "statistics/numeric.h"
#include "statistics/series.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <optional>
#include <sys/stat.h>

namespace {

const QString kProgram = QStringLiteral("quorvel");

// The forms of the command, as the synopsis of --help gives them.
struct Form {
    const char* form;
    const char* japanese; // nullptr for a form that says what it does itself
    const char* english;
};

const Form kForms[] = {
    {"[FILE]", "ウィンドウを開き、FILE を「開く(&O)」と同じように開く",
     "the window, then FILE opened as \"開く(&O)\" would"},
    {"--pdf OUT [OPTIONS] FILE...", "各 FILE の印刷紙面を PDF に出力（ウィンドウなし）",
     "the printed page of each FILE, no window"},
    {"--report OUT [--bootstrap B ...] [OPTIONS] FILE...",
     "各 FILE の報告書（概要・検定・比較・確率値・確率紙・データ）を A4 の PDF "
     "に出力（ウィンドウなし）",
     "the study report of each FILE (summary, checks, comparison, probable values, chart, data) "
     "as an A4 PDF, no window"},
    {"--results [--json] [OPTIONS] FILE...", "解析結果を標準出力に出力（ウィンドウなし）",
     "the results on standard output, no window"},
    {"--results --distributions [--target T] [--json] [OPTIONS] FILE...",
     "11 の確率分布の比較（SLSC、X-COR、ジャックナイフ、選定）",
     "the eleven candidate distributions compared (SLSC, X-COR, jackknife, selection)"},
    {"--results --distributions --bootstrap B [--seed S] [--level L] [--parametric] "
     "[--interval percentile|bca] [--select-by jackknife|bootstrap] ... FILE...",
     "その比較にブートストラップ誤差と信頼区間を加える",
     "the same with bootstrap errors and confidence intervals"},
    {"--import OUT [IMPORT OPTIONS] FILE",
     "観測データ（気象庁のダウンロード CSV など）から年の値の系列を作り、OUT "
     "に書く（ウィンドウなし）",
     "the annual series of an observation file (the Agency's CSV download and the like) written "
     "to OUT, no window"},
    {"--import OUT --durations LIST [IMPORT OPTIONS] FILE",
     "時間・10 分・日ごとの値から継続時間の表（year,1h,…）を OUT に書く（.json なら詳しく）",
     "the duration table (year,1h,...) of hourly, 10-minute or daily values written to OUT (every "
     "detail when OUT ends in .json)"},
    {"--import FILE --pdf OUT [OPTIONS] [IMPORT OPTIONS]",
     "観測データ FILE から作った年の値の系列の印刷紙面を PDF に出力（系列のファイルは書かない）",
     "the printed page of the annual series imported from the observation file FILE, no series "
     "file written"},
    {"--import FILE --results [--distributions] [--json] [OPTIONS] [IMPORT OPTIONS]",
     "その系列の解析結果を標準出力に出力（--pdf とも一緒に指定できる。ほかに FILE は付けない）",
     "the results of that series on standard output (with --pdf as well; no other FILE)"},
    {"--intensity [--fit-durations LIST] [--model ID] [--json] [OPTIONS] TABLE",
     "継続時間の表 TABLE の継続時間ごとの確率雨量と確率降雨強度式（ウィンドウなし）",
     "the T-year rainfall of each duration of the duration table TABLE and the rainfall "
     "intensity formulas, no window"},
    {"--intensity --import FILE --durations LIST [...] [IMPORT OPTIONS]",
     "観測データ FILE から作った継続時間の表の確率雨量と確率降雨強度式",
     "the same of the duration table built from the observation file FILE"},
    {"--help | --version", nullptr, nullptr},
};

const char kColumnsJapanese[] =
    "--distributions の CSV の列\n"
    "  file,model,name,applicable,slsc,x_cor,dry10,dry100,wet10,wet100,jk_dry10,jk_dry100,"
    "jk_wet10,jk_wet100,se_dry10,se_dry100,se_wet10,se_wet100,passes,selected,problem,records,"
    "alpha,target\n"
    "  ファイルごとに 11 行（ln2_paper ln2_pm ln2_lm ln3_iwai ln3_q ln3_lm lp3 exp gumbel "
    "sqrtet gev の順）。\n"
    "  dry/wet は 1/10・1/100 の渇水年・豊水年の確率値、jk_ はジャックナイフ推定値、se_ は"
    "その推定誤差、\n"
    "  applicable・passes（SLSC ≤ 0.04）・selected は 1 か 0、problem は当てはめられない理由。"
    "ない値は空欄。\n"
    "  records・alpha・target は記録数・α値・選定基準（どの行にも同じ値）。\n"
    "  --json では各ファイルに selection と distributions（母数、SLSC、X-COR、11 の再現期間の"
    "値・推定値・誤差）が加わる。\n"
    "  --bootstrap では problem と records の間に "
    "bs_fitted,bse_dry10,bse_dry100,bse_wet10,bse_wet100,"
    "low_dry10,high_dry10,low_dry100,high_dry100,low_wet10,high_wet10,low_wet100,high_wet100\n"
    "  （当てはめられた再標本の数、ブートストラップ誤差、--interval の区間の下限と上限）が加わり、"
    "JSON では各分布に bootstrap、\n"
    "  各再現期間に dry_bootstrap_mean dry_bootstrap_error dry_low dry_high dry_bca_low "
    "dry_bca_high と wet_ の同じ 6 つが加わる。\n"
    "--intensity の CSV の列\n"
    "  T,formula,a,b,n,rmse,max_rel_error,best,problem\n"
    "  再現期間 T（2 3 5 7 10 20 30 50 80 100 150 200）ごとに 5 行：talbot I=a/(t+b)、"
    "kuno_ishiguro I=a/(√t+b)、\n"
    "  sherman I=a/t^n、cleveland I=a/(t^n+b)（n は 0.300～1.500 の 0.001 刻み）、"
    "characteristic（特性係数法、10 分と 60 分から）。\n"
    "  t は分、I は mm/h。rmse は I の誤差の二乗平均平方根、max_rel_error は |I−Î|/I の最大、"
    "best は rmse が最小の式で 1。\n"
    "  式にない定数と求められない値は空欄、problem は当てはめられない理由。--json では "
    "durations（継続時間ごとの分布・SLSC・\n"
    "  確率雨量 depth・強度 intensity・ジャックナイフ誤差 error・depth+error の upper）と "
    "formulas の一つのオブジェクト。\n";

const char kColumnsEnglish[] =
    "CSV columns with --distributions\n"
    "  file,model,name,applicable,slsc,x_cor,dry10,dry100,wet10,wet100,jk_dry10,jk_dry100,"
    "jk_wet10,jk_wet100,se_dry10,se_dry100,se_wet10,se_wet100,passes,selected,problem,records,"
    "alpha,target\n"
    "  eleven rows per file (ln2_paper ln2_pm ln2_lm ln3_iwai ln3_q ln3_lm lp3 exp gumbel sqrtet "
    "gev in this order);\n"
    "  dry/wet are the 1-in-10 and 1-in-100 dry- and wet-year values, jk_ their jackknife "
    "estimates, se_ the jackknife errors;\n"
    "  applicable, passes (SLSC <= 0.04) and selected are 1 or 0, problem says why a model does "
    "not apply; a missing figure is empty.\n"
    "  records, alpha and target repeat the record count, alpha and target on every row.\n"
    "  With --json each file's object gains selection and distributions (parameters, SLSC, "
    "X-COR, values, estimates and errors of the eleven periods).\n"
    "  With --bootstrap, between problem and records, the columns "
    "bs_fitted,bse_dry10,bse_dry100,bse_wet10,bse_wet100,"
    "low_dry10,high_dry10,low_dry100,high_dry100,low_wet10,high_wet10,low_wet100,high_wet100\n"
    "  stand (resamples fitted, bootstrap errors, the --interval interval's ends); the "
    "JSON gives each model a bootstrap object\n"
    "  and each period dry_bootstrap_mean dry_bootstrap_error dry_low dry_high dry_bca_low "
    "dry_bca_high and the same six of wet.\n"
    "CSV columns with --intensity\n"
    "  T,formula,a,b,n,rmse,max_rel_error,best,problem\n"
    "  five rows per return period T (2 3 5 7 10 20 30 50 80 100 150 200): talbot I=a/(t+b), "
    "kuno_ishiguro I=a/(sqrt(t)+b),\n"
    "  sherman I=a/t^n, cleveland I=a/(t^n+b) (n from 0.300 to 1.500 in steps of 0.001), "
    "characteristic (from 10 and 60 minutes);\n"
    "  t in minutes, I in mm/h; rmse the root mean square of I minus the formula's, "
    "max_rel_error the largest |I-Î|/I, best 1 for the least rmse;\n"
    "  a constant the formula lacks and a missing figure are empty, problem says why a formula "
    "does not apply. With --json one object\n"
    "  of durations (each one's model, SLSC, depth, intensity, jackknife error and upper = "
    "depth + error at every T) and formulas.\n";

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

void ReadAlpha(const QString& text, CommandLine& command) {
    BatchSettings& settings = command.settings;
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

void ReadScale(const QString& text, CommandLine& command) {
    BatchSettings& settings = command.settings;
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

void ReadMode(const QString& text, CommandLine& command) {
    BatchSettings& settings = command.settings;
    const qsizetype mode =
        QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}.indexOf(
            text.trimmed());
    if (mode < 0)
        Refuse(QStringLiteral("--mode は 0、1、2 のどれかにしてください（「%1」）。").arg(text));
    settings.chart.analysisMode = static_cast<int32_t>(mode);
}

void ReadWidths(const QString& text, CommandLine& command) {
    BatchSettings& settings = command.settings;
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

void ReadOffsets(const QString& text, CommandLine& command) {
    BatchSettings& settings = command.settings;
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

void ReadTitle(const QString& text, CommandLine& command) {
    BatchSettings& settings = command.settings;
    if (text.isEmpty())
        Refuse(QStringLiteral("横軸のタイトルが空です。--title に文字を指定してください。"));
    settings.chart.axisTitle = text;
    settings.titleGiven = true;
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

void ReadPdf(const QString& text, CommandLine& command) {
    command.pdfOut = text;
}

void ReadReport(const QString& text, CommandLine& command) {
    command.reportOut = text;
}

void ReadResults(const QString&, CommandLine& command) {
    command.results = true;
}

void ReadJson(const QString&, CommandLine& command) {
    command.json = true;
}

void ReadBom(const QString&, CommandLine& command) {
    command.bom = true;
}

void ReadDistributions(const QString&, CommandLine& command) {
    command.distributions = true;
}

void ReadTarget(const QString& text, CommandLine& command) {
    const std::optional<Target> chosen = TargetFromKey(text.trimmed());
    if (!chosen)
        Refuse(QStringLiteral("--target は dry10、dry100、wet10、wet100 のどれかにして"
                              "ください（「%1」）。")
                   .arg(text));
    command.target = *chosen;
}

void ReadBootstrap(const QString& text, CommandLine& command) {
    command.bootstrap = true;
    command.bootstrapSettings.replicates =
        WholeNumber(QStringLiteral("bootstrap"), text, kMinReplicates, kMaxReplicates);
}

void ReadSeed(const QString& text, CommandLine& command) {
    bool ok = false;
    const qulonglong seed = text.trimmed().toULongLong(&ok);
    if (!ok || text.trimmed().startsWith(u'-') || text.trimmed().startsWith(u'+'))
        Refuse(
            QStringLiteral("--seed は 0 から 18446744073709551615 の整数にしてください（「%1」）。")
                .arg(text));
    command.bootstrapSettings.seed = seed;
}

void ReadLevel(const QString& text, CommandLine& command) {
    const std::optional<double> level = Number(text.trimmed());
    if (!level || *level < kMinLevel || *level > kMaxLevel)
        Refuse(
            QStringLiteral("--level は 0.5 から 0.99 の数値にしてください（「%1」）。").arg(text));
    command.bootstrapSettings.level = *level;
}

void ReadParametric(const QString&, CommandLine& command) {
    command.bootstrapSettings.kind = ResampleKind::Parametric;
}

void ReadInterval(const QString& text, CommandLine& command) {
    if (text == QLatin1String(IntervalKindKey(IntervalKind::Percentile)))
        command.bootstrapSettings.interval = IntervalKind::Percentile;
    else if (text == QLatin1String(IntervalKindKey(IntervalKind::Bca)))
        command.bootstrapSettings.interval = IntervalKind::Bca;
    else
        Refuse(
            QStringLiteral("--interval は percentile か bca にしてください（「%1」）。").arg(text));
}

void ReadSelectBy(const QString& text, CommandLine& command) {
    if (text == QLatin1String(SelectionRuleKey(SelectionRule::Jackknife)))
        command.selectBy = SelectionRule::Jackknife;
    else if (text == QLatin1String(SelectionRuleKey(SelectionRule::Bootstrap)))
        command.selectBy = SelectionRule::Bootstrap;
    else
        Refuse(QStringLiteral("--select-by は jackknife か bootstrap にしてください（「%1」）。")
                   .arg(text));
}

void ReadAggregate(const QString& text, CommandLine& command) {
    static const QStringList keys{QStringLiteral("sum"), QStringLiteral("mean"),
                                  QStringLiteral("max"), QStringLiteral("min")};
    const qsizetype index = keys.indexOf(text);
    if (index < 0)
        Refuse(
            QStringLiteral("--aggregate は sum、mean、max、min のどれかにしてください（「%1」）。")
                .arg(text));
    command.durationAggregate = DurationAggregate(index);
    command.importOptions.aggregate =
        text == QStringLiteral("sum") ? ImportAggregate::Sum : ImportAggregate::Max;
}

void ReadDurations(const QString& text, CommandLine& command) {
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!ParseDuration(part))
            Refuse(QStringLiteral("--durations の「%1」を読めません。10min、2h、3d のように"
                                  "書いてください。")
                       .arg(part.trimmed()));
    if (text.trimmed().isEmpty())
        Refuse(QStringLiteral("--durations が空です。"));
    command.durations = text;
}

void ReadIntensity(const QString&, CommandLine& command) {
    command.intensity = true;
}

void ReadFitDurations(const QString& text, CommandLine& command) {
    QList<int> minutes;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<Duration> duration = ParseDuration(part);
        if (!duration || duration->flowDays > 0)
            Refuse(QStringLiteral("--fit-durations の「%1」を読めません。10min、2h のように"
                                  "書いてください。")
                       .arg(part.trimmed()));
        if (minutes.contains(duration->minutes))
            Refuse(QStringLiteral("--fit-durations の %1 が重なっています。").arg(duration->label));
        minutes << duration->minutes;
    }
    if (minutes.size() < static_cast<qsizetype>(kMinFitDurations))
        Refuse(QStringLiteral("--fit-durations には %1 つ以上の継続時間を指定してください"
                              "（「%2」）。")
                   .arg(kMinFitDurations)
                   .arg(text));
    command.fitDurations = text;
}

// The models' keys in their order: ln2_paper … gev.
QStringList ModelKeys() {
    QStringList keys;
    for (ModelId id : kModels)
        keys << QLatin1String(ModelKey(id));
    return keys;
}

void ReadModel(const QString& text, CommandLine& command) {
    const QStringList keys = ModelKeys();
    if (const qsizetype index = keys.indexOf(text.trimmed()); index >= 0) {
        command.fixedModel = kModels[static_cast<size_t>(index)];
        return;
    }
    Refuse(QStringLiteral("--model は %1 のどれかにしてください（「%2」）。")
               .arg(keys.join(QLatin1Char(' ')), text));
}

// "selected", or model keys separated by commas, each once.
void ReadCurves(const QString& text, CommandLine& command) {
    if (text.trimmed() == QLatin1String("selected")) {
        command.curves = std::vector<ModelId>{};
        return;
    }
    const QStringList keys = ModelKeys();
    std::vector<ModelId> models;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype index = keys.indexOf(part.trimmed());
        if (index < 0)
            Refuse(QStringLiteral("--curves は selected か、%1 をコンマで区切って並べてください"
                                  "（「%2」）。")
                       .arg(keys.join(QLatin1Char(' ')), part.trimmed()));
        const ModelId id = kModels[static_cast<size_t>(index)];
        if (std::find(models.begin(), models.end(), id) != models.end())
            Refuse(QStringLiteral("--curves の %1 が重なっています。").arg(part.trimmed()));
        models.push_back(id);
    }
    if (models.empty())
        Refuse(QStringLiteral("--curves に描く分布を指定してください。"));
    command.curves = std::move(models);
}

void ReadFlowDuration(const QString&, CommandLine& command) {
    command.flowDuration = true;
}

void ReadCrossYear(const QString&, CommandLine& command) {
    command.importOptions.crossYear = true;
}

void ReadStamp(const QString& text, CommandLine& command) {
    if (text != QStringLiteral("end") && text != QStringLiteral("start"))
        Refuse(QStringLiteral("--stamp は end か start にしてください（「%1」）。").arg(text));
    command.stampAtStart = text == QStringLiteral("start");
}

void ReadDays(const QString& text, CommandLine& command) {
    command.importOptions.days = WholeNumber(QStringLiteral("days"), text, 1, 7);
}

void ReadYearStart(const QString& text, CommandLine& command) {
    command.importOptions.yearStartMonth = WholeNumber(QStringLiteral("year-start"), text, 1, 12);
}

void ReadCoverage(const QString& text, CommandLine& command) {
    QString share = text.trimmed();
    if (share.endsWith(u'%'))
        share.chop(1);
    const std::optional<double> percent = Number(share);
    if (!percent || *percent < 0 || *percent > 100)
        Refuse(QStringLiteral("--coverage は 0 から 100 の数値（%）にしてください（「%1」）。")
                   .arg(text));
    command.importOptions.coverage = *percent;
}

// Columns as the file shows them, counted from 1.
void ReadDateColumn(const QString& text, CommandLine& command) {
    command.importOptions.dateColumn =
        WholeNumber(QStringLiteral("date-column"), text, 1, 10000) - 1;
}

void ReadValueColumn(const QString& text, CommandLine& command) {
    command.importOptions.valueColumn =
        WholeNumber(QStringLiteral("value-column"), text, 1, 10000) - 1;
}

void ReadFrom(const QString& text, CommandLine& command) {
    command.importOptions.fromYear = WholeNumber(QStringLiteral("from"), text, 1000, 9999);
}

void ReadTo(const QString& text, CommandLine& command) {
    command.importOptions.toYear = WholeNumber(QStringLiteral("to"), text, 1000, 9999);
}

// What one import option says about another.
void CheckImportOptions(const QCommandLineParser& parser, ImportOptions& options) {
    // The days only mean something for the maximum, which they then imply.
    if (parser.isSet(QStringLiteral("days"))) {
        if (parser.value(QStringLiteral("aggregate")) == QStringLiteral("sum"))
            Refuse(QStringLiteral("--days は --aggregate max と一緒に指定してください。"));
        options.aggregate = ImportAggregate::Max;
    }
    const QString aggregate = parser.value(QStringLiteral("aggregate"));
    const bool durations =
        parser.isSet(QStringLiteral("durations")) || parser.isSet(QStringLiteral("flow-duration"));
    if (!durations && (aggregate == QStringLiteral("mean") || aggregate == QStringLiteral("min")))
        Refuse(QStringLiteral("--aggregate %1 は --durations と一緒に指定してください。")
                   .arg(aggregate));
    if (durations && parser.isSet(QStringLiteral("days")))
        Refuse(QStringLiteral("--days は --durations と一緒には指定できません（1d、2d のように "
                              "--durations で指定してください）。"));
    if (options.fromYear && options.toYear && *options.fromYear > *options.toYear)
        Refuse(QStringLiteral("--from の年（%1）が --to の年（%2）より後です。")
                   .arg(*options.fromYear)
                   .arg(*options.toYear));
}

constexpr uint8_t kBatchModes = kPdfMode | kResultsMode | kReportMode;

// The whole command line. The order is that of --help within each group.
const CommandLineOption kOptions[] = {
    {.name = "pdf",
     .valueName = "OUT",
     .japanese =
         "印刷紙面の PDF の出力先：FILE が一つなら .pdf で終わるファイル名、複数なら既にある"
         "フォルダ（FILE ごとにその名前の .pdf）",
     .english = "where the pages go: a name ending in .pdf for one FILE, an existing folder for "
                "several (one <name>.pdf each)",
     .group = HelpGroup::Options,
     .selects = kPdfMode,
     .modes = kPdfMode,
     .read = ReadPdf},
    {.name = "curves",
     .valueName = "selected|ID,...",
     .japanese = "--pdf の紙面に比較した分布の曲線を描く：selected で選定された分布、"
                 "gumbel,gev のように分布を並べるとその分布（凡例の ◎ は選定された分布）",
     .english = "compared curves on the --pdf page: selected for the selected model, or models "
                "such as gumbel,gev (the legend marks the selected one with ◎)",
     .group = HelpGroup::Options,
     .modes = kPdfMode,
     .read = ReadCurves},
    {.name = "report",
     .valueName = "OUT",
     .japanese =
         "報告書（概要・データの検定・分布の比較・確率値・確率紙・データの A4 PDF）の出力先："
         "FILE が一つなら .pdf で終わるファイル名、複数なら既にあるフォルダ（FILE ごとに "
         "<名前>-report.pdf）",
     .english = "where the study reports go (summary, data checks, models compared, probable "
                "values, chart and data on A4): a name ending in .pdf for one FILE, an existing "
                "folder for several (one <name>-report.pdf each)",
     .group = HelpGroup::Options,
     .selects = kReportMode,
     .modes = kReportMode,
     .read = ReadReport},
    {.name = "results",
     .japanese = "解析結果を CSV で標準出力に出力（見出しの行と FILE ごとに 1 行）",
     .english = "the results as CSV on standard output, a header line and one row per FILE",
     .group = HelpGroup::Options,
     .selects = kResultsMode,
     .modes = kResultsMode,
     .read = ReadResults},
    {.name = "json",
     .japanese = "--results を CSV の代わりに JSON の配列で出力（分布の母数の対数は、ln2_paper・"
                 "ln3_iwai・lp3 が常用対数 log10、ln2_pm・ln2_lm・ln3_q が自然対数 ln）。"
                 "各ファイルの checks に Mann–Kendall 検定（S・z・p）、Sen の傾き（1 年あたり）、"
                 "Pettitt 検定（K・変化点の年・p）が入る（記録が 10 件未満なら null）。--intensity "
                 "では一つの JSON オブジェクト",
     .english = "the results as one JSON array instead of CSV (the distributions' parameters: "
                "ln2_paper, ln3_iwai and lp3 in base-10 logarithms, ln2_pm, ln2_lm and ln3_q in "
                "natural logarithms); each file's checks hold the Mann-Kendall test (S, z, p), "
                "Sen's slope (per year) and Pettitt's test (K, change year, p), null below 10 "
                "records; --intensity as one JSON object",
     .group = HelpGroup::Options,
     .modes = kResultsMode | kIntensityMode,
     .read = ReadJson},
    {.name = "bom",
     .japanese = "--results の CSV の先頭に BOM を付ける（表計算ソフトが UTF-8 と分かるように）",
     .english = "start the CSV of --results with a byte-order mark, for spreadsheets",
     .group = HelpGroup::Options,
     .modes = kResultsMode | kIntensityMode,
     .excludes = {"json"},
     .read = ReadBom},
    {.name = "alpha",
     .valueName = "A",
     .japanese = "非超過確率計算のα値（既定 0.5）",
     .english = "plotting-position parameter (default 0.5)",
     .group = HelpGroup::Options,
     .modes = kBatchModes | kIntensityMode,
     .read = ReadAlpha},
    {.name = "scale",
     .valueName = "MIN:MAX",
     .japanese = "横軸の両端（10 のべき乗）：MIN は 0.1 1 10 100 1000 のどれか、MAX は 10 100 1000 "
                 "10000 100000 のどれか（既定はデータに合わせる：値が全部 10～1000 にあれば "
                 "10:1000）",
     .english = "value axis ends, powers of ten: MIN one of 0.1 1 10 100 1000, MAX one of 10 100 "
                "1000 10000 100000 (default: fitted to the data, 10:1000 when every value lies "
                "inside)",
     .group = HelpGroup::Options,
     .modes = kBatchModes,
     .read = ReadScale},
    {.name = "mode",
     .valueName = "0|1|2",
     .japanese = "0 点だけ、1 回帰線も、2 回帰線と解析値も印刷（既定 0）",
     .english = "0 points only, 1 with the fitted line, 2 with line and results block (default 0)",
     .group = HelpGroup::Options,
     .modes = kBatchModes,
     .read = ReadMode},
    {.name = "widths",
     .valueName = "S,D,R",
     .japanese = "実線・点線・回帰線の印刷の太さ、それぞれ 1～5（既定 3,2,5）",
     .english = "print widths of solid, dotted and fitted lines, 1 to 5 each (default 3,2,5)",
     .group = HelpGroup::Options,
     .modes = kBatchModes,
     .read = ReadWidths},
    {.name = "offset",
     .valueName = "X,Y",
     .japanese = "印刷位置の移動 mm、右方向と上方向（既定 0,0）",
     .english = "print offsets in mm, right and up (default 0,0)",
     .group = HelpGroup::Options,
     .modes = kBatchModes,
     .read = ReadOffsets},
    {.name = "title",
     .valueName = "TEXT",
     .japanese = "横軸のタイトル（既定 降水量　(mm)、--import では取り込んだ項目）",
     .english = "value-axis title (default 降水量　(mm), with --import the imported item)",
     .group = HelpGroup::Options,
     .modes = kBatchModes,
     .read = ReadTitle},
    {.name = "distributions",
     .japanese = "--results に 11 の確率分布の比較を加える",
     .english = "add the comparison of the eleven candidate distributions to --results",
     .group = HelpGroup::Options,
     .modes = kResultsMode,
     .read = ReadDistributions},
    {.name = "target",
     .valueName = "T",
     .japanese = "--distributions の選定基準：dry10 dry100 wet10 wet100 のどれか（1/10 渇水年、"
                 "1/100 渇水年、1/10 豊水年、1/100 豊水年。既定 wet100）",
     .english = "what --distributions selects by: dry10 dry100 wet10 wet100 (the jackknife error "
                "of the 1-in-10 or 1-in-100 dry- or wet-year value; default wet100)",
     .group = HelpGroup::Options,
     .modes = kResultsMode | kIntensityMode | kReportMode,
     .needs = {"distributions", "intensity", "report"},
     .read = ReadTarget},
    {.name = "bootstrap",
     .valueName = "B",
     .japanese = "--distributions と --report にブートストラップ誤差と信頼区間を加える：再標本の"
                 "回数 B は 100～100000",
     .english = "add bootstrap errors and confidence intervals to --distributions and --report "
                "from B resamples, 100 to 100000",
     .group = HelpGroup::Options,
     .modes = kResultsMode | kReportMode,
     .needs = {"distributions", "report"},
     .read = ReadBootstrap},
    {.name = "seed",
     .valueName = "S",
     .japanese = "再標本の乱数の種：0～18446744073709551615 の整数（既定 1、同じ種なら同じ結果）",
     .english = "the resamples' random seed, 0 to 2^64 - 1 (default 1; the same seed gives the "
                "same figures)",
     .group = HelpGroup::Options,
     .modes = kResultsMode | kReportMode,
     .needs = {"bootstrap"},
     .read = ReadSeed},
    {.name = "level",
     .valueName = "L",
     .japanese = "信頼区間の信頼水準：0.5～0.99（既定 0.9）",
     .english = "the intervals' confidence level, 0.5 to 0.99 (default 0.9)",
     .group = HelpGroup::Options,
     .modes = kResultsMode | kReportMode,
     .needs = {"bootstrap"},
     .read = ReadLevel},
    {.name = "parametric",
     .japanese = "データの再標本の代わりに、当てはめた分布から再標本を作る",
     .english = "draw the resamples from each fitted model instead of from the data",
     .group = HelpGroup::Options,
     .modes = kResultsMode | kReportMode,
     .needs = {"bootstrap"},
     .read = ReadParametric},
    {.name = "interval",
     .valueName = "percentile|bca",
     .japanese = "CSV に出す区間：percentile（パーセンタイル、既定）か bca（JSON には両方）",
     .english = "the interval the CSV carries: percentile (default) or bca (the JSON has both)",
     .group = HelpGroup::Options,
     .modes = kResultsMode | kReportMode,
     .needs = {"bootstrap"},
     .read = ReadInterval},
    {.name = "select-by",
     .valueName = "jackknife|bootstrap",
     .japanese = "選定で最小にする誤差：jackknife（既定）か bootstrap（--bootstrap が必要）",
     .english = "which error of the target the selection minimises: jackknife (default) or "
                "bootstrap (needs --bootstrap)",
     .group = HelpGroup::Options,
     .modes = kResultsMode | kReportMode,
     .needs = {"distributions", "report"},
     .read = ReadSelectBy},
    {.name = "intensity",
     .japanese = "継続時間の表の継続時間ごとの確率雨量（2～200 年、7 年も）と確率降雨強度式"
                 "（タルボット・久野・石黒・シャーマン・クリーブランド・特性係数法）を CSV で"
                 "標準出力に出力",
     .english = "the T-year rainfall of each duration of a duration table (2 to 200 years, 7 "
                "too) and the rainfall intensity formulas (Talbot, Kuno-Ishiguro, Sherman, "
                "Cleveland, characteristic coefficient) as CSV on standard output",
     .group = HelpGroup::Options,
     .selects = kIntensityMode,
     .modes = kIntensityMode,
     .excludes = {"pdf", "results"},
     .read = ReadIntensity},
    {.name = "fit-durations",
     .valueName = "LIST",
     .japanese =
         "--intensity で式を当てはめる継続時間：10min,20min,1h のように 3 つ以上（既定は表の "
         "24 時間までの継続時間全部）",
     .english = "the durations --intensity fits the formulas to, three or more such as "
                "10min,20min,1h (default every duration of the table up to 24 hours)",
     .group = HelpGroup::Options,
     .modes = kIntensityMode,
     .read = ReadFitDurations},
    {.name = "model",
     .valueName = "ID",
     .japanese = "--intensity で全部の継続時間に使う分布：ln2_paper ln2_pm ln2_lm ln3_iwai ln3_q "
                 "ln3_lm lp3 exp gumbel sqrtet gev のどれか（既定は継続時間ごとに選定された分布）",
     .english = "one model for every duration of --intensity: ln2_paper ln2_pm ln2_lm ln3_iwai "
                "ln3_q ln3_lm lp3 exp gumbel sqrtet gev (default each duration's selected model)",
     .group = HelpGroup::Options,
     .modes = kIntensityMode,
     .read = ReadModel},
    {.name = "help",
     .japanese = "この説明を表示",
     .english = "this text",
     .group = HelpGroup::Options,
     .modes = kEveryMode,
     .shortName = "h"},
    {.name = "version",
     .japanese = "版を表示",
     .english = "the version",
     .group = HelpGroup::Options,
     .modes = kEveryMode},
    // The value is the series' destination on its own, the observation file itself with --pdf
    // or --results: the form of the run reads it.
    {.name = "import",
     .valueName = "OUT|FILE",
     .japanese =
         "--pdf も --results もなければ、OUT は観測データの FILE（一つ）の系列の書き出し先。"
         "どちらかがあれば FILE は観測データのファイルそのもので、ほかに FILE は付けない",
     .english = "without --pdf and --results, OUT receives the series of the one observation "
                "FILE; with either, FILE is the observation file itself and no other FILE is given",
     .group = HelpGroup::ImportOptions,
     .selects = kImportMode,
     .modes = kImportMode},
    {.name = "aggregate",
     .valueName = "sum|max",
     .japanese = "月・日の値の年合計か年最大（既定 sum）。--durations では sum|mean|max|min、"
                 "既定は雨量 sum、流量・水位 mean",
     .english = "annual total or annual maximum of monthly or daily values (default sum); with "
                "--durations sum|mean|max|min, by default sum for rainfall, mean for discharge "
                "and water level",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadAggregate},
    {.name = "durations",
     .valueName = "LIST",
     .japanese =
         "継続時間の年最大（最小）：10min,1h,24h,3d のように、どれもファイルの刻みの"
         "整数倍。時間・10 分・日ごとの値と水文水質データベースのファイルから継続時間の表を作る",
     .english = "annual maxima (minima) of durations such as 10min,1h,24h,3d, each a multiple of "
                "the file's step: the duration table of hourly, 10-minute, daily and river "
                "database files",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadDurations},
    {.name = "flow-duration",
     .japanese = "日流量の流況（豊水・平水・低水・渇水流量、列 q95,q185,q275,q355）",
     .english = "the flow-duration values of daily discharge (columns q95,q185,q275,q355)",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadFlowDuration},
    {.name = "cross-year",
     .japanese = "年をまたぐ期間も含める（前の年に始まる期間も数える。--days にも効く）",
     .english = "also count windows that begin in the year before (--days as well)",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadCrossYear},
    {.name = "stamp",
     .valueName = "end|start",
     .japanese = "時刻が区間の終わりか始まりか（既定 end）",
     .english = "stamps give the end or the start of each interval (default end)",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadStamp},
    {.name = "days",
     .valueName = "N",
     .japanese = "年最大 N 日：連続 N 日の合計の最大、N は 1～7、日ごとの値だけ（既定 1）",
     .english = "the largest sum of N consecutive days, N 1 to 7, daily values only (default 1)",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadDays},
    {.name = "year-start",
     .valueName = "M",
     .japanese = "年の始まりの月 1～12（既定 1、年度は 4、水年は 10）",
     .english = "first month of the year, 1 to 12 (default 1; 4 fiscal, 10 water year)",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadYearStart},
    {.name = "coverage",
     .valueName = "P",
     .japanese = "有効な日（月）がこの % に満たない年は除く（既定 80）",
     .english = "leave out years with fewer valid days (months) than P % (default 80)",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadCoverage},
    {.name = "date-column",
     .valueName = "C",
     .japanese = "日付（または年）の列、1 から数える（既定 自動）",
     .english = "column of the date or year, counted from 1 (default detected)",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadDateColumn},
    {.name = "value-column",
     .valueName = "C",
     .japanese = "値の列、1 から数える（既定 自動）",
     .english = "column of the values, counted from 1 (default detected)",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadValueColumn},
    {.name = "from",
     .valueName = "Y",
     .japanese = "取り込む期間の最初と最後の年",
     .english = "first and last year to take",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadFrom},
    {.name = "to",
     .valueName = "Y",
     .group = HelpGroup::ImportOptions,
     .modes = kImportMode,
     .read = ReadTo},
};

QString Dashed(const char* name) {
    return QStringLiteral("--") + QLatin1String(name);
}

QString Listed(const QStringList& names, const char* joiner) {
    return names.join(QString::fromUtf8(joiner));
}

// The options that put a run in one of these modes: "--pdf", "--results".
QStringList ModeOptions(uint8_t modes) {
    QStringList names;
    for (const CommandLineOption& option : kOptions)
        if (option.selects & modes)
            names << Dashed(option.name);
    return names;
}

template <size_t N> QStringList Named(const std::array<const char*, N>& names) {
    QStringList listed;
    for (const char* name : names)
        if (name)
            listed << Dashed(name);
    return listed;
}

bool AnySet(const QCommandLineParser& parser, const QStringList& dashed) {
    return std::any_of(dashed.begin(), dashed.end(),
                       [&](const QString& name) { return parser.isSet(name.mid(2)); });
}

// The modes the given options put the run in; the window when none does.
uint8_t ModesOf(const QCommandLineParser& parser) {
    uint8_t modes = 0;
    for (const CommandLineOption& option : kOptions)
        if (option.selects && parser.isSet(QLatin1String(option.name)))
            modes |= option.selects;
    return modes ? modes : uint8_t(kWindowMode);
}

// Each given option in the modes it belongs to, with the options it needs and without those
// it excludes.
void CheckCombinations(const QCommandLineParser& parser, uint8_t modes) {
    for (const CommandLineOption& option : kOptions) {
        if (!parser.isSet(QLatin1String(option.name)))
            continue;
        // An option it needs brings its own mode along.
        QStringList needed = Named(option.needs);
        const bool met = needed.isEmpty() ? (option.modes & modes) != 0 : AnySet(parser, needed);
        if (needed.isEmpty())
            needed = ModeOptions(option.modes);
        if (!met)
            Refuse(QStringLiteral("%1 は %2 と一緒に指定してください。")
                       .arg(Dashed(option.name), Listed(needed, " か ")));
        const QStringList excluded = Named(option.excludes);
        if (AnySet(parser, excluded))
            Refuse(QStringLiteral("%1 は %2 と一緒には指定できません。")
                       .arg(Dashed(option.name), Listed(excluded, " や ")));
    }
}

void ReadOptions(const QCommandLineParser& parser, CommandLine& command) {
    for (const CommandLineOption& option : kOptions)
        if (option.read && parser.isSet(QLatin1String(option.name)))
            option.read(parser.value(QLatin1String(option.name)), command);
    CheckImportOptions(parser, command.importOptions);
    if (command.selectBy == SelectionRule::Bootstrap && !command.bootstrap)
        Refuse(QStringLiteral("--select-by bootstrap は --bootstrap と一緒に指定してください。"));
}

void AddOptions(QCommandLineParser& parser) {
    for (const CommandLineOption& option : kOptions) {
        QStringList names{QLatin1String(option.name)};
        if (option.shortName)
            names.prepend(QLatin1String(option.shortName));
        parser.addOption(
            QCommandLineOption(names, QString::fromUtf8(option.english ? option.english : ""),
                               option.valueName ? QLatin1String(option.valueName) : QString()));
    }
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

// With --pdf or --results, --import names the observation file itself: a FILE besides it would
// leave open which of the two is imported, or whether the other was meant as the series' OUT.
void TakeObservationFile(const QCommandLineParser& parser, CommandLine& command) {
    const QStringList named = parser.values(QStringLiteral("import"));
    if (named.size() > 1)
        Refuse(QStringLiteral("--import で取り込めるファイルは一つだけです。"));
    if (!command.files.isEmpty())
        Refuse(QStringLiteral("--pdf や --results と一緒のときは、観測データのファイルは --import "
                              "の後に一つだけ指定し、ほかに FILE は付けないでください（「%1」）。")
                   .arg(DisplayFileName(command.files.first())));
    if (named.first().isEmpty())
        Refuse(QStringLiteral("--import の観測データのファイル名が空です。"));
    command.files = named;
    command.fromImport = true;
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

// The form of the report's target, read before anything is written: an existing folder, a name
// ending in "/" or, for several files, a name without .pdf is a folder; anything else must be a
// .pdf file. Whether the folder is there and may be written, and whether a report would replace
// an input, the run itself tells (ReportTargetProblem), as a failure rather than a usage error.
void CheckReportOut(CommandLine& command) {
    if (command.reportOut.isEmpty())
        Refuse(QStringLiteral("--report の出力先が空です。"));
    struct stat out {};
    const bool exists = stat(EncodeFileName(command.reportOut).constData(), &out) == 0;
    const bool folder = exists && S_ISDIR(out.st_mode);
    const bool pdfName = command.reportOut.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
    command.reportIntoFolder = folder || command.reportOut.endsWith(QLatin1Char('/')) ||
                               (command.files.size() > 1 && !exists && !pdfName);
    if (command.files.size() > 1 && !command.reportIntoFolder)
        Refuse(QStringLiteral("FILE が複数のときは、--report には既にあるフォルダを指定して"
                              "ください（「%1」）。")
                   .arg(DisplayFileName(command.reportOut)));
    if (!command.reportIntoFolder && !pdfName)
        Refuse(QStringLiteral("--report の出力ファイル名は .pdf で終わるようにしてください"
                              "（「%1」）。")
                   .arg(DisplayFileName(command.reportOut)));
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

QString CommandLine::reportPathFor(const QString& file) const {
    if (!reportIntoFolder)
        return reportOut;
    return QDir(reportOut).filePath(
        QFileInfo(SuggestedReportPath(AbsoluteFileName(file))).fileName());
}

std::span<const CommandLineOption> CommandLineOptions() {
    return kOptions;
}

namespace {

// The run's files as its form has them. Throws Usage for a form that is none of them.
void TakeFiles(const QCommandLineParser& parser, uint8_t modes, CommandLine& command) {
    command.files = parser.positionalArguments();
    if (modes == kImportMode) {
        command.importOut = parser.value(QStringLiteral("import"));
        CheckImportOut(command);
        command.action = CommandLine::Action::Import;
        return;
    }
    if (modes == kWindowMode) {
        if (command.files.size() > 1)
            Refuse(QStringLiteral("ウィンドウで開けるファイルは一つだけです。"));
        // The window may change its directory later; the file stays where the shell meant.
        if (!command.files.isEmpty())
            command.files[0] = AbsoluteFileName(command.files[0]);
        return;
    }
    if (modes & kImportMode)
        TakeObservationFile(parser, command);
    if (command.files.isEmpty())
        Refuse(QStringLiteral("FILE がありません。処理するデータファイルを指定してください。"));
    command.action = CommandLine::Action::Batch;
    if (modes & kIntensityMode) {
        if (command.files.size() != 1)
            Refuse(QStringLiteral("--intensity で扱える継続時間の表は一つだけです。"));
        if (command.fromImport && command.durations.isEmpty())
            Refuse(QStringLiteral("--intensity と --import には --durations も指定してください"
                                  "（例 --durations 10min,20min,30min,1h,2h）。"));
        if (command.flowDuration)
            Refuse(QStringLiteral("--intensity は --flow-duration と一緒には指定できません。"));
    }
    if (modes & kPdfMode) {
        if (command.pdfOut.isEmpty())
            Refuse(QStringLiteral("--pdf の出力先が空です。"));
        CheckPdfOut(command);
    }
    if (modes & kReportMode)
        CheckReportOut(command);
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine command;
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    AddOptions(parser);
    try {
        if (!parser.parse(arguments)) {
            if (!parser.unknownOptionNames().isEmpty())
                Refuse(QStringLiteral("知らないオプションです：%1")
                           .arg(parser.unknownOptionNames().first()));
            Refuse(ParserErrorText(parser.errorText()));
        }
        if (parser.isSet(QStringLiteral("help"))) {
            command.action = CommandLine::Action::Help;
            return command;
        }
        if (parser.isSet(QStringLiteral("version"))) {
            command.action = CommandLine::Action::Version;
            return command;
        }
        const uint8_t modes = ModesOf(parser);
        CheckCombinations(parser, modes);
        ReadOptions(parser, command);
        TakeFiles(parser, modes, command);
    } catch (const Usage& usage) {
        command = CommandLine();
        command.action = CommandLine::Action::UsageError;
        command.error = usage.message;
    }
    return command;
}

namespace {

// Descriptions start in one column; a form too long for it has its description below.
constexpr qsizetype kFormWidth = 48;
constexpr qsizetype kOptionWidth = 17;

QString FormLines(bool japanese) {
    QString text;
    for (const Form& form : kForms) {
        const QString line = kProgram + QLatin1Char(' ') + QString::fromUtf8(form.form);
        const char* says = japanese ? form.japanese : form.english;
        if (!says)
            text += line;
        else if (line.size() < kFormWidth)
            text += line.leftJustified(kFormWidth) + QString::fromUtf8(says);
        else
            text += line + QLatin1Char('\n') + QString(kFormWidth, QLatin1Char(' ')) +
                    QString::fromUtf8(says);
        text += QLatin1Char('\n');
    }
    return text;
}

QString OptionLines(HelpGroup group, bool japanese) {
    QStringList labels;
    QStringList says;
    for (const CommandLineOption& option : kOptions) {
        if (option.group != group)
            continue;
        QString label = Dashed(option.name);
        if (option.valueName)
            label += QLatin1Char(' ') + QLatin1String(option.valueName);
        const char* line = japanese ? option.japanese : option.english;
        if (!line && !labels.isEmpty()) {
            labels.last() += QStringLiteral(", ") + label;
            continue;
        }
        labels << label;
        says << QString::fromUtf8(line);
    }
    QString text;
    for (qsizetype i = 0; i < labels.size(); ++i)
        text += QStringLiteral("  ") + labels[i].leftJustified(kOptionWidth) +
                QStringLiteral("  ") + says[i] + QLatin1Char('\n');
    return text;
}

QString HelpBlock(bool japanese) {
    return FormLines(japanese) + QString::fromUtf8(japanese ? kColumnsJapanese : kColumnsEnglish) +
           QStringLiteral("OPTIONS\n") + OptionLines(HelpGroup::Options, japanese) +
           QStringLiteral("IMPORT OPTIONS\n") + OptionLines(HelpGroup::ImportOptions, japanese);
}

} // namespace

QString HelpText() {
    return HelpBlock(true) + QLatin1Char('\n') + HelpBlock(false);
}

QString VersionText() {
    return kProgram + QLatin1Char(' ') + QStringLiteral(QUORVEL_VERSION) + QLatin1Char('\n');
}

QString UsageHint() {
    return QStringLiteral("使い方は quorvel --help で表示されます（Try 'quorvel --help'）。\n");
}
