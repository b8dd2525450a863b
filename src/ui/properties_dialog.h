// The "Properties" dialog of a source image: where its file lies, its name, its size in bytes and the
// image's full width and height, in a two-column list.
#pragma once

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

namespace tp {

struct PropertyRow {
    QString property;
    QString value;
    bool operator==(const PropertyRow&) const = default;
};

// The rows Location, Name, Size, Width and Height for the file at `path` whose image measures
// full_width x full_height. When the file's status cannot be read, the size says so and the rest is what
// the program already knows.
std::vector<PropertyRow> CollectImageProperties(const std::string& path, int full_width, int full_height);

class PropertiesDialog : public QDialog {
    Q_OBJECT

public:
    explicit PropertiesDialog(const std::vector<PropertyRow>& rows, QWidget* parent = nullptr);
};

}  // namespace tp
