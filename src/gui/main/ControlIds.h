#pragma once

namespace velvane {

// Resource numbers of the main window's controls; the view tags every widget with its number.
namespace idc {
// Queue slots: CD and track edit of slot 1..10.
inline constexpr int kQueueCD[10] = {1000, 1006, 1011, 1013, 1014, 1015, 1016, 1017, 1018, 1019};
inline constexpr int kQueueTrack[10] = {1003, 1007, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027};
inline constexpr int kPlayNextTrack = 1001;
inline constexpr int kMasterSlider = 1009;
inline constexpr int kStopAllTracks = 1010;
inline constexpr int kRemaining = 1012;
inline constexpr int kQueuePanel = 1028;
inline constexpr int kManualSearch = 1029;
inline constexpr int kAutoSearch = 1030;
inline constexpr int kEditPlaylist = 1031;
inline constexpr int kClearPlaylist = 1032;
inline constexpr int kSaveQueue = 1033;
inline constexpr int kSearchNumberOne = 1034;
inline constexpr int kNowTitle = 1035;
inline constexpr int kNowArtist = 1036;
inline constexpr int kNowPlayingHeading = 1037;
inline constexpr int kNextTrackHeading = 1038;
inline constexpr int kNextPanel = 1039;
inline constexpr int kLoadQueue = 1040;
inline constexpr int kClock = 1041;
inline constexpr int kClockPanel = 1042;
inline constexpr int kNowChartInfo = 1044;
inline constexpr int kNextTrack = 1045;
inline constexpr int kNextChartInfo = 1046;
inline constexpr int kNextSpare = 1047;
inline constexpr int kQueueList = 1048;
inline constexpr int kPlayCurrentTrack = 1049;
inline constexpr int kPlayMode = 1050;
inline constexpr int kStopCurrentTrack = 1051;
inline constexpr int kDeck1Slider = 1052;
inline constexpr int kDeck2Slider = 1053;
inline constexpr int kVolumePanel = 1054;
inline constexpr int kDeck1Lamp = 1055;
inline constexpr int kDeck2Lamp = 1056;
inline constexpr int kStopLastTrack = 1057;
inline constexpr int kFadeCurrent = 1058;
inline constexpr int kFadeLast = 1059;
inline constexpr int kPlayModeField = 1064;
inline constexpr int kStatusSpare = 1065;
inline constexpr int kFadeAutoField = 1066;
inline constexpr int kStatusField = 1067;
inline constexpr int kLastTrackLine = 1068;
}  // namespace idc

}  // namespace velvane
