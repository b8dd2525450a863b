// "Print Page Setup": how the wide-view image is laid out on paper, chosen from five buttons that each show
// a miniature of the current printer's page organized that way.
#pragma once

#include <QDialog>

#include "project/page_setup_geometry.h"

class QLabel;

namespace tp {

class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    // The buttons carry the object names "organization1031" .. "organization1035" (organizations 0 .. 4),
    // the description line "description1047".
    static constexpr int kFirstButtonId = 1031;
    static constexpr int kDescriptionId = 1047;

    PageSetupDialog(PageOrganization current, const PageSetupGeometry& geometry, QWidget* parent);

    // The organization chosen so far; what the view keeps on OK.
    PageOrganization organization() const { return organization_; }

private:
    void Choose(PageOrganization organization);

    PageOrganization organization_;
    QLabel* description_;
};

}  // namespace tp
