#pragma once
// The main window: the hub that owns the program's state and routes every
// event to the operations that act on it.

#include <QDialog>

class CCameraDlg : public QDialog {
    Q_OBJECT

public:
    explicit CCameraDlg(QWidget* parent = nullptr);
};
