#include "info/frmabout.h"

#include "statistics/numeric.h"
#include "info/programicon.h"
#include "info/version.h"
#include "platform/commandguard.h"
#include "platform/widgets.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

// Read-control plus every key-specific right: what the lookup has always asked for.
constexpr uint32_t kKeyAllAccess = 0x2003F;
constexpr int kValueBufferSize = 1024;

// The etched rule under the description: a grey line with a white one showing just below it.
class EtchedRule : public QWidget {
public:
    EtchedRule(int greyLength, int whiteLength, QWidget* parent)
        : QWidget(parent)
        , greyLength_(greyLength)
        , whiteLength_(whiteLength) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(0, 0, whiteLength_, 2, Qt::white);
        p.fillRect(0, 0, greyLength_, 1, QColor(128, 128, 128));
    }

private:
    int greyLength_;
    int whiteLength_;
};

} // namespace

frmAbout::frmAbout(Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , platform_(platform) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFont(JapaneseFont(kFacePGothic, 9));
    SetFixedClientSize(this, 4965, 3705);

    auto* picIcon = AddLabel(this, "picIcon", QString(), TwipsRect(240, 240, 540, 540));
    picIcon->setPixmap(ProgramIconPixmap(32));
    picIcon->setAlignment(Qt::AlignCenter);

    lblTitle = AddLabel(this, "lblTitle", QString(), TwipsRect(960, 240, 3732, 360));
    lblTitle->setFont(JapaneseFont(kFacePGothic, 10.5));
    lblVersion = AddLabel(this, "lblVersion", QString(), TwipsRect(960, 600, 3732, 348));
    lblVersion->setFont(JapaneseFont(kFacePGothic, 10.5));
    lblDescription = AddLabel(this, "lblDescription", QString(), TwipsRect(240, 1080, 4455, 375));
    lblDescription->setFont(JapaneseFont(kFaceGothic, 9));
    lblDescription->setWordWrap(true);

    const int ruleLeft = TwipsToPixels(120);
    auto* line1 =
        new EtchedRule(TwipsToPixels(4812) - ruleLeft, TwipsToPixels(4788) - ruleLeft, this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setGeometry(ruleLeft, TwipsToPixels(1557), TwipsToPixels(4812) - ruleLeft, 2);

    AddLabel(this, "Label1", QStringLiteral("このプログラムについての照会先"),
             TwipsRect(240, 1680, 2532, 252));
    // The contact lines stand out in the selection colour, as links would.
    const struct {
        const char* name;
        double top;
        QString text;
    } contacts[] = {
        {"Label3", 2040, QStringLiteral("Quorvel 開発グループ（配布元）")},
        {"Label2", 2400, QStringLiteral("ご質問・ご要望は配布元の窓口までお寄せください")},
        {"Label4", 2760, QStringLiteral("連絡先は配布物に添付の説明書に記載しています")},
    };
    for (const auto& contact : contacts) {
        QLabel* label =
            AddLabel(this, contact.name, contact.text, TwipsRect(240, contact.top, 4455, 252));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
        label->setPalette(palette);
    }

    auto* cmdOK = AddButton(this, "cmdOK", QStringLiteral("OK"), TwipsRect(360, 3240, 1908, 348));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    auto* cmdSysInfo = AddButton(this, "cmdSysInfo", QStringLiteral("ｼｽﾃﾑ情報(&S)..."),
                                 TwipsRect(2640, 3240, 1908, 345));
    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this,
            Guarded(platform_.messages, this, &frmAbout::cmdOK_Click));
    connect(cmdSysInfo, &QPushButton::clicked, this,
            Guarded(platform_.messages, this, &frmAbout::cmdSysInfo_Click));

    Form_Load();
}

void frmAbout::Form_Load() {
    CentreOnScreen(this);
    setWindowTitle(kAppTitle + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    lblVersion->setText(QStringLiteral("バージョン     %1.%2.%3")
                            .arg(kVersionMajor)
                            .arg(kVersionMinor)
                            .arg(kVersionRevision));
    lblTitle->setText(QStringLiteral("プログラム名  ") + kAppTitle + QStringLiteral(".exe "));
    lblDescription->setText(QStringLiteral("任意の年データの非超過確率を計算・解析して") +
                            QStringLiteral("画面とプリンタに出力・印刷するプログラムです"));
}

void frmAbout::cmdOK_Click() {
    // Escape takes the same way out (reject), which also ends the window.
    accept();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo(platform_, this);
}

void StartSysInfo(Platform& platform, QWidget* parent) {
    const QString unavailable = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");
    // The tool's own entry names its full path; failing that, the shared-tools folder may hold
    // it under its usual file name.
    QString sysInfoPath;
    if (!GetKeyValue(platform.registry, kHkeyLocalMachine,
                     QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                     QStringLiteral("PATH"), sysInfoPath)) {
        QString location;
        if (!GetKeyValue(platform.registry, kHkeyLocalMachine,
                         QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                         QStringLiteral("MSINFO"), location) ||
            !platform.process.fileExists(location + QStringLiteral("\\MSINFO32.EXE"))) {
            platform.messages.showMessage(parent, unavailable, kAppTitle);
            return;
        }
        sysInfoPath = location + QStringLiteral("\\MSINFO32.EXE");
    }
    // An entry of an unexpected type leaves the path empty: nothing could be started from it.
    if (sysInfoPath.isEmpty() || !platform.process.startDetached(sysInfoPath))
        platform.messages.showMessage(parent, unavailable, kAppTitle);
}

bool GetKeyValue(RegistryService& registry, uint32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal) {
    const std::optional<RegistryValue> value =
        registry.readValue(KeyRoot, KeyName, kKeyAllAccess, SubKeyRef, kValueBufferSize);
    if (!value) {
        KeyVal.clear();
        return false;
    }
    switch (value->type) {
    case kRegSz: {
        const QByteArray& data = value->data;
        const qsizetype nul = data.indexOf('\0');
        KeyVal = QString::fromLocal8Bit(nul < 0 ? data : data.left(nul));
        break;
    }
    case kRegDword: {
        // The four bytes are the number, low byte first. Every byte counts, zeros included:
        // reading them as text would stop at the first zero byte and drop the leading zero of
        // each byte's hex digits, turning 256 into nothing and 0x0105 into 21.
        uint32_t number = 0;
        const qsizetype count = std::min<qsizetype>(value->data.size(), 4);
        for (qsizetype i = count - 1; i >= 0; --i)
            number = (number << 8) | static_cast<uint8_t>(value->data.at(i));
        KeyVal = FormatReal(static_cast<double>(number));
        break;
    }
    default:
        break;
    }
    return true;
}
