// Every user-visible text by its numeric id. The engine names ids; the front ends show the texts.
#pragma once

#include <string>

namespace tp {

namespace strings {
inline constexpr int kLoading = 35071;
inline constexpr int kInitialization = 35070;
inline constexpr int kImageStitching = 35083;
inline constexpr int kSettingMosaicParameters = 35084;
inline constexpr int kFinalization = 35085;
inline constexpr int kFinalizingWideView = 35086;
inline constexpr int kMemoryAllocationFailed = 35304;
inline constexpr int kFindingCorrespondences = 35305;
inline constexpr int kSystemMemoryNotSufficient = 35306;
inline constexpr int kBasicBlending = 35307;
inline constexpr int kAdvancedBlending = 35308;
inline constexpr int kCreatingGrids = 35309;
inline constexpr int kRealigning = 35310;
inline constexpr int kTooFewFeatures = 35311;
inline constexpr int kTooManySourceImages = 35312;
inline constexpr int kExportCaption = 35313;
inline constexpr int kComposingAtResolution = 35314;
inline constexpr int kWritingImageFile = 35315;
inline constexpr int kPrintCaption = 35316;
inline constexpr int kSizeNotEqual = 35072;
inline constexpr int kReadingError = 35073;
inline constexpr int kCreatingThumbnail = 35074;
inline constexpr int kCanceling = 35075;
inline constexpr int kUnsupportedFileFormat = 35076;
inline constexpr int kWriteFailure = 35077;
inline constexpr int kExitWithoutSaving = 35078;
inline constexpr int kConfirm = 35079;
inline constexpr int kPrintsOneImagePerPage = 35201;
inline constexpr int kPrintsTwoImagesPerPage = 35202;
inline constexpr int kPrintsFourImagesPerPage = 35203;
inline constexpr int kPrintsEightImagesPerPage = 35204;
inline constexpr int kPrintsAcrossPages = 35205;
inline constexpr int kApplicationName = 57344;
inline constexpr int kUntitled = 57346;
inline constexpr int kImageFileFilter = 57347;
inline constexpr int kFailedToOpenDocument = 61697;
inline constexpr int kFailedToSaveDocument = 61698;
inline constexpr int kCouldNotStartPrintJob = 61702;
}  // namespace strings

// The text of a string id; empty for an unknown id.
std::string LoadString(int id);

}  // namespace tp
