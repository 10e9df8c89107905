// The frame decoder's hold on libjpeg-turbo: its decompressor and the error
// manager, shared by the files that decode (whole frames, tiles and regions).
// Private to the decoder's sources: it takes jpeglib.h.
#pragma once
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE
#include <jpeglib.h>
#include "decoder/frame_decoder.h"

// A progressive frame of more scans than this is refused: each scan goes over
// the whole picture again, and a few bytes can make thousands of them.
inline constexpr int kMaxScans = 500;

// The library's decompressor, with an error manager that returns to the
// decoder (through longjmp, as the library provides for) rather than exiting,
// and keeps the message of the first warning or of the error that stopped it.
// Nothing is printed. Plain C structures: no C++ object lives where longjmp
// goes past.
struct CFrameDecoder::Library {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    jmp_buf stop;
    bool bWarned;
    char szMessage[JMSG_LENGTH_MAX];

    Library()
    {
        cinfo.err = jpeg_std_error(&errors);
        errors.error_exit = [](j_common_ptr c) {
            Library* self = Of(c);
            (*c->err->format_message)(c, self->szMessage);
            longjmp(self->stop, 1);
        };
        errors.emit_message = [](j_common_ptr c, int nLevel) {
            Library* self = Of(c);
            if (nLevel < 0 && !self->bWarned) {  // a warning; trace messages are not kept
                (*c->err->format_message)(c, self->szMessage);
                self->bWarned = true;
            }
        };
        errors.output_message = [](j_common_ptr) {};
        progress.progress_monitor = [](j_common_ptr c) {
            const j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(c);
            if (d->input_scan_number > kMaxScans) {
                Library* self = Of(c);
                std::snprintf(self->szMessage, sizeof self->szMessage, "more than %d scans", kMaxScans);
                longjmp(self->stop, 1);
            }
        };
        jpeg_create_decompress(&cinfo);  // cannot fail: it only allocates a small pool
        cinfo.progress = &progress;
        cinfo.client_data = this;
    }
    ~Library() { jpeg_destroy_decompress(&cinfo); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    static Library* Of(j_common_ptr c) { return static_cast<Library*>(c->client_data); }
};
