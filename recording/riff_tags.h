// What a RIFF chunk id or a name in an AVI file says: stream numbers of chunk ids,
// picture and index chunks, the camera a stream's name gives. Used by the parser.
#pragma once

#include <cstdint>
#include <string>

namespace rec {

// '00dc', '01db', ...: the stream number, or -1.
int streamOfChunk(uint32_t id);
// '##dc' or '##db' (any case of the 'd'): a picture of stream ##.
bool isPictureChunk(uint32_t id);
// Any four printable characters: a chunk of some kind that we may skip over.
bool isTag(uint32_t id);
// 'ix##': an OpenDML standard index.
bool isIndexChunk(uint32_t id);
// 'MJPG' in any case.
bool isMjpeg(uint32_t cc);
// "Camera N": N, or 0 when the name is not of that form (-1 when it is but N is out of range).
int cameraOfName(const std::string& name);

// For damage reports: the id's four characters ('?' for unprintable ones), an offset in hex.
std::string tagText(uint32_t id);
std::string hex(uint64_t v);

}  // namespace rec
