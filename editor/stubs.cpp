// STUB: replaced by the editor implementation.
#include "editor/form3.h"

Form3::Form3(AppState&, Platform&, EditorHost&, QWidget* parent)
    : QMainWindow(parent) {}
