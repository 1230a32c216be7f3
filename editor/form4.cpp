#include "editor/form4.h"

#include "editor/form3.h"
#include "platform/commandguard.h"
#include "platform/widgets.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int32_t kOldestYear = 1;
constexpr int32_t kNewestYear = 2999;

QLineEdit* AddYearBox(QWidget* parent, const char* name, QRect geometry) {
    QLineEdit* box =
        AddTextBox(parent, name, geometry, parent->palette().color(QPalette::ToolTipBase));
    SetTextColour(box, parent->palette().color(QPalette::ToolTipText));
    return box;
}

// A year as typed: spaces around it ignored, a fraction rounded half to even. Full-width
// digits, as a Japanese input method types them, count as their plain forms.
std::optional<int32_t> ReadYear(const QString& typed) {
    const QString text = typed.normalized(QString::NormalizationForm_KC).trimmed();
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    int32_t year = 0;
    try {
        year = R(value);
    } catch (const DataError&) {
        return std::nullopt;
    }
    if (year < kOldestYear || year > kNewestYear)
        return std::nullopt;
    return year;
}

} // namespace

QString YearLines(int32_t firstYear, int32_t lastYear) {
    const QString margin = QStringLiteral("   ");
    QString text;
    for (int32_t year = firstYear; year <= lastYear - 1; ++year)
        text += margin + QString::number(year) + margin + QStringLiteral("\r\n");
    text += margin + QString::number(lastYear) + margin;
    return text;
}

Form4::Form4(AppState& state, Platform& platform, Form3& editor)
    : QWidget(&editor, Qt::Dialog)
    , state_(state)
    , platform_(platform)
    , editor_(editor) {
    setObjectName(QStringLiteral("Form4"));
    // The close box unloads the dialog; the next showing starts again from the defaults.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("zivived < 作成年次の確認 >"));
    setFont(JapaneseFont(kFacePGothic, 9));

    AddLabel(this, "Label1", QStringLiteral("最古のデータの西暦年を入力してね"),
             TwipsRect(240, 120, 2895, 255));
    AddLabel(this, "Label2", QStringLiteral("最新のデータの西暦年を入力してね"),
             TwipsRect(240, 720, 2895, 255));
    text1_ = AddYearBox(this, "Text1", TwipsRect(3120, 120, 735, 270));
    text2_ = AddYearBox(this, "Text2", TwipsRect(3120, 720, 735, 270));
    connect(AddButton(this, "Command1", QStringLiteral("新規作成に進む"),
                      TwipsRect(120, 1320, 1935, 375)),
            &QPushButton::clicked, this, Guarded(platform_.messages, this, &Form4::Command1_Click));
    connect(AddButton(this, "Command2", QStringLiteral("新規作成をやめる"),
                      TwipsRect(2280, 1320, 1935, 375)),
            &QPushButton::clicked, this, Guarded(platform_.messages, this, &Form4::Command2_Click));
    AddLabel(this, "Label3", QStringLiteral("年"), TwipsRect(3960, 120, 255, 255));
    AddLabel(this, "Label4", QStringLiteral("年"), TwipsRect(3960, 720, 255, 255));
    setTabOrder(text1_, text2_);

    SetFixedClientSize(this, 4380, 1845);
    Form_Load();
}

void Form4::Form_Load() {
    CentreOnScreen(this);
    // The years of the series on show, the one a new file most often continues or corrects;
    // without one, the thirty years up to last year.
    const SeriesData& series = state_.study.series;
    const int n = std::clamp(series.recordCount, 0, kMaxRecords);
    if (n > 0) {
        const auto [first, last] =
            std::minmax_element(series.years.begin(), series.years.begin() + n);
        state_.editor.newDataFirstYear = *first;
        state_.editor.newDataLastYear = *last;
    } else {
        state_.editor.newDataLastYear = platform_.clock.today().year() - 1;
        state_.editor.newDataFirstYear = state_.editor.newDataLastYear - 29;
    }
    text1_->setText(QString::number(state_.editor.newDataFirstYear));
    text2_->setText(QString::number(state_.editor.newDataLastYear));
}

void Form4::Command1_Click() {
    const auto firstYear = ReadYear(text1_->text());
    const auto lastYear = ReadYear(text2_->text());
    if (!firstYear || !lastYear) {
        platform_.messages.showMessage(this, QStringLiteral("正しく数字を入力してね"),
                                       QStringLiteral("入力間違い"));
        return;
    }
    // The year lines replace the editor's text: what was typed there is asked about first.
    if (!editor_.SettleChanges())
        return;
    state_.editor.newDataFirstYear = *firstYear;
    state_.editor.newDataLastYear = *lastYear;
    state_.editor.editorText = YearLines(*firstYear, *lastYear);
    editor_.ShowNewData();
    hide();
}

void Form4::Command2_Click() {
    hide();
}
