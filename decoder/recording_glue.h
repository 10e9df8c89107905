// The decoder's side of the recording reader: opening a file with the reasons a
// user is told, and the questions playback asks of its frames.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include "recording/recording.h"

struct OpenedRecording {
    std::shared_ptr<const rec::Recording> recording;  // null when the open failed
    std::wstring error;                               // why, for the user
};

// path in UTF-8, as the reader takes it.
OpenedRecording OpenRecordingFile(const std::string& path);

// Time of the newest frame of any camera at or before t (0 before the first).
int64_t PictureTimeAt(const rec::Recording& recording, int64_t t);
// Time of the first frame of any camera after t; -1 when there is none.
int64_t NextFrameTimeAfter(const rec::Recording& recording, int64_t t);
// Time of the newest frame of any camera before t; -1 when there is none.
int64_t FrameTimeBefore(const rec::Recording& recording, int64_t t, uint32_t cameras = ~0u);
// Time of the earliest frame of any camera: the file's first picture.
int64_t FirstFrameTime(const rec::Recording& recording, uint32_t cameras = ~0u);
// The frame a camera shows at t: the last one at or before it that has a
// picture (empty slots hold the previous one); null when there is none yet.
const rec::Frame* FrameToShow(const rec::Stream& stream, int64_t t);
