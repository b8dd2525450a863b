// Saving the document to a ".tnp" project and opening one.
#pragma once

#include <string>

#include "project/workflow.h"

namespace tp {

// Writes the project (relative paths, state, pair records when stitched). A failure leaves any previous file
// untouched and shows "Failed to save document.".
bool SaveProjectDocument(CMainDoc& doc, const std::string& path);

// Replaces the document's contents by the project at `path`: reloads the sources and, for a stitched project,
// restores every pair and rebuilds the basic blend (a finalized project reopens stitched). A malformed file
// shows "Failed to open document." and leaves the document as it was. A source that cannot be read or changed
// size stops the loading after its message; the project then opens with the images read so far, unstitched.
bool OpenProjectDocument(CMainDoc& doc, WorkflowHost& host, const std::string& path);

}  // namespace tp
