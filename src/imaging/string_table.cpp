#include "imaging/string_table.h"

#include <unordered_map>

namespace tp {

std::string LoadString(int id)
{
    static const std::unordered_map<int, std::string> kTexts = {
        {strings::kInitialization, "Initialization"},
        {strings::kLoading, "Loading..."},
        {strings::kImageStitching, "Image Stitching"},
        {strings::kSettingMosaicParameters, "Setting Mosaic Parameters"},
        {strings::kFinalization, "Finalization"},
        {strings::kFinalizingWideView, "Finalizing the wide-view image..."},
        {strings::kMemoryAllocationFailed, "Memory Allocation Failed"},
        {strings::kFindingCorrespondences, "Finding image point correspondences..."},
        {strings::kSystemMemoryNotSufficient,
         "System memory is not sufficient.\nReduce the number of the source images or their sizes and try again."},
        {strings::kBasicBlending, "Basic Blending..."},
        {strings::kAdvancedBlending, "Advanced Blending..."},
        {strings::kCreatingGrids, "Creating grids for image re-alignment."},
        {strings::kRealigning, "Re-aligning the source images..."},
        {strings::kTooFewFeatures, "too small number of features"},
        {strings::kTooManySourceImages, "A project holds at most 500 source images."},
        {strings::kExportCaption, "Export"},
        {strings::kComposingAtResolution, "Composing the wide-view image at the chosen resolution..."},
        {strings::kWritingImageFile, "Writing the image file..."},
        {strings::kPrintCaption, "Print"},
        {strings::kSizeNotEqual, "'s size is not equal to those of the previous images."},
        {strings::kReadingError, " reading error."},
        {strings::kCreatingThumbnail, "Creating a thumbnail of "},
        {strings::kCanceling, "Canceling..."},
        {strings::kUnsupportedFileFormat, "Unsupported file format."},
        {strings::kWriteFailure, "Write failure"},
        {strings::kExitWithoutSaving, "Exit without saving?"},
        {strings::kConfirm, "Confirm"},
        {strings::kPrintsOneImagePerPage, "Prints one image per page."},
        {strings::kPrintsTwoImagesPerPage, "Prints two images per page."},
        {strings::kPrintsFourImagesPerPage, "Prints four images per page."},
        {strings::kPrintsEightImagesPerPage, "Prints eight images per page."},
        {strings::kPrintsAcrossPages, "Prints one image across multiple pages."},
        {strings::kApplicationName, "Tarnel Plexaro"},
        {strings::kUntitled, "Untitled"},
        {strings::kImageFileFilter, "JPG Files (*.jpg)|*.jpg|BMP Files (*.bmp)|*.bmp|PCX Files (*.pcx)|*.pcx|PGM Files "
                                    "(*.pgm)|*.pgm|PNG Files (*.png)|*.png|RAS Files (*.ras)|*.ras|TIF Files (*.tif)|*.tif|"
                                    "All Files (*.*)|*.*|"},
        {strings::kFailedToOpenDocument, "Failed to open document."},
        {strings::kFailedToSaveDocument, "Failed to save document."},
        {strings::kCouldNotStartPrintJob, "Could not start print job."},
    };
    const auto it = kTexts.find(id);
    return it == kTexts.end() ? std::string() : it->second;
}

}  // namespace tp
