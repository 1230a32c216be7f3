#include "platform/qtplatform.h"

#include "platform/widgets.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

QString ToQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "*.*" means every file on Windows; Qt's "*" also takes names without a dot.
        if (patterns == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        // Qt takes the patterns from the last parentheses; the dialogs hide them
        // (kFileDialogOptions), so the user reads each description once, as written.
        entries << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

namespace {

// "ext" from a filter whose first pattern is "*.ext"; nothing for "*.*" or several patterns.
QString DefaultSuffix(const QString& filter) {
    const QString first = filter.section(QLatin1Char('|'), 1, 1);
    if (!first.startsWith(QLatin1String("*.")) || first.contains(QLatin1Char(';')))
        return {};
    const QString suffix = first.mid(2);
    if (suffix.isEmpty() || suffix.contains(QLatin1Char('*')) || suffix.contains(QLatin1Char('.')))
        return {};
    return suffix;
}

constexpr QFileDialog::Options kFileDialogOptions = QFileDialog::HideNameFilterDetails;

class QtMessages : public MessageService {
public:
    void showMessage(QWidget* parent, const QString& text, const QString& caption) override {
        NormalPointer pointer;
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
        box.exec();
    }
    Answer askYesNoCancel(QWidget* parent, const QString& text, const QString& caption) override {
        NormalPointer pointer;
        QMessageBox box(QMessageBox::Question, caption, text,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
        // Named here, so the buttons read the same whether or not Qt's translation is there.
        box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }
    void beep() override { QApplication::beep(); }
};

class QtFileDialogs : public FileDialogService {
public:
    std::optional<QString> getOpenFileName(QWidget* parent, const QString& filter,
                                           const QString& initialPath) override {
        NormalPointer pointer;
        const QString path = QFileDialog::getOpenFileName(
            parent, QString(), initialPath, ToQtFilter(filter), nullptr, kFileDialogOptions);
        return finish(path);
    }
    std::optional<QString> getSaveFileName(QWidget* parent, const QString& filter,
                                           const QString& initialPath,
                                           const QString& title) override {
        NormalPointer pointer;
        QFileDialog dialog(parent, title, initialPath, ToQtFilter(filter));
        dialog.setOptions(kFileDialogOptions);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The dialog adds the extension before it asks about replacing a file, so the question
        // is about the file that will be written.
        const QString suffix = DefaultSuffix(filter);
        if (!suffix.isEmpty())
            dialog.setDefaultSuffix(suffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return finish(dialog.selectedFiles().first());
    }

private:
    // The common dialog leaves the current directory at the chosen file's folder.
    static std::optional<QString> finish(const QString& path) {
        if (path.isEmpty())
            return std::nullopt;
        QDir::setCurrent(QFileInfo(path).absolutePath());
        return QDir::toNativeSeparators(path);
    }
};

class QtDirectory : public DirectoryService {
public:
    QString currentDirectory() override { return QDir::toNativeSeparators(QDir::currentPath()); }
    bool setCurrentDirectory(const QString& path) override { return QDir::setCurrent(path); }
    QString executableDirectory() override {
        return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    }
};

// This platform keeps no registry: every lookup finds nothing.
class NoRegistry : public RegistryService {
public:
    std::optional<RegistryValue> readValue(uint32_t, const QString&, uint32_t, const QString&,
                                           int) override {
        return std::nullopt;
    }
};

class QtProcess : public ProcessService {
public:
    bool fileExists(const QString& path) override { return QFileInfo(path).isFile(); }
    bool startDetached(const QString& program) override {
        return QProcess::startDetached(program, {});
    }
};

class SystemClock : public ClockService {
public:
    QDate today() override { return QDate::currentDate(); }
};

} // namespace

struct QtPlatform::Impl {
    QtMessages messages;
    QtFileDialogs files;
    QtDirectory directory;
    NoRegistry registry;
    QtProcess process;
    SystemClock clock;
    Platform platform{messages, files, directory, registry, process, clock};
};

QtPlatform::QtPlatform()
    : impl_(std::make_unique<Impl>()) {}
QtPlatform::~QtPlatform() = default;
Platform& QtPlatform::platform() {
    return impl_->platform;
}
