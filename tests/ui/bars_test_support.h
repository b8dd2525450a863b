// A main frame stand-in for the windows of the docking bars, and a project of small generated images.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QString>

#include <string>
#include <vector>

#include "imaging/image_file.h"
#include "project/main_doc.h"
#include "test_support.h"
#include "ui/frame_services.h"

namespace tp::test {

class FakeFrame : public FrameServices {
public:
    CMainDoc& document() override { return doc; }
    void ShowStatusMessage(const QString& text) override { status = text; }
    void RunProcessingCommand(int command_id) override { commands.push_back(command_id); }
    void SourceListEdited() override { ++list_edits; }

    CMainDoc doc;
    QString status;
    std::vector<int> commands;
    int list_edits = 0;
};

// Adds `count` plain images of one size and distinct colours, written as PNG files into `dir`.
inline void AddImages(CMainDoc& doc, const ScratchDir& dir, int count, int width = 160, int height = 120)
{
    for (int i = 0; i < count; ++i) {
        const std::string path = dir.file("source" + std::to_string(i) + ".png");
        ASSERT_EQ(WriteImage(MakeColorImage(width, height, [i](int, int, int c) { return 40 * i + 30 * c + 20; }), path), 0);
        ASSERT_EQ(doc.AddImage(path, AddPosition::Tail), AddImageResult::Added);
    }
}

// A pointer move without a button held, straight to the widget.
inline void Hover(QWidget* widget, QPoint position)
{
    QMouseEvent move(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

}  // namespace tp::test
