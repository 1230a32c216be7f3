#include "print/pagespreview.h"

#include "statistics/dataerror.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

bool ShowPagesPreview(QWidget* parent, const QString& title,
                      const std::function<void(QPagedPaintDevice&)>& drawPages) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("PagesPreview"));
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* preview = new QPrintPreviewWidget(&printer, &dialog);
    preview->setObjectName(QStringLiteral("Preview"));
    layout->addWidget(preview);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* save =
        buttons->addButton(QStringLiteral("PDF に保存(&S)..."), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("SaveButton"));
    buttons->addButton(QStringLiteral("閉じる(&C)"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CloseButton"));
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // A failure inside the preview's paint cannot leave through Qt's signal: it is kept, the
    // preview closed, and the failure thrown from here.
    std::optional<DataError> failure;
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, &dialog, [&](QPrinter* device) {
        if (failure)
            return;
        try {
            drawPages(*device);
        } catch (const DataError& error) {
            failure = error;
            QMetaObject::invokeMethod(&dialog, &QDialog::reject, Qt::QueuedConnection);
        }
    });
    preview->setZoomMode(QPrintPreviewWidget::FitToWidth);
    dialog.resize(760, 900);
    preview->updatePreview();
    if (failure)
        throw *failure;
    const bool saving = dialog.exec() == QDialog::Accepted;
    if (failure)
        throw *failure;
    return saving;
}
