// The About box: the program's picture with its name, version, credits and maker below it.
#pragma once

#include <QDialog>

namespace tp {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    // Centred on `parent` when there is one.
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace tp
