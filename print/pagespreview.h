#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

// A preview of the pages drawPages draws, shown before they are saved: the pages are drawn on
// the preview's own printer from the same code that writes the file. True when the user asks to
// save them; false when the preview is closed. Throws DataError when drawing the pages fails.
bool ShowPagesPreview(QWidget* parent, const QString& title,
                      const std::function<void(QPagedPaintDevice&)>& drawPages);
