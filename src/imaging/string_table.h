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
}  // namespace strings

// The text of a string id; empty for an unknown id.
std::string LoadString(int id);

}  // namespace tp
