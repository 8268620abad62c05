#pragma once

// The input module that feeds a BMP file to the JPEG compressor: it reads the headers,
// keeps the whole image in the library's virtual-array store (the file holds the bottom row
// first, the compressor wants the top row first) and hands out one RGB row at a time.
// Every failure is raised through the compressor's error manager, so the caller's
// error_exit decides what happens; nothing here ends the process.

#include <cstddef>
#include <cstdio>

// jpeglib.h uses FILE and size_t without including their headers.
#include <jpeglib.h>

// The reader's messages, added to the library's table under these codes.
enum BmpMessageCode : int {
    kBmpFirstMessage = 1000,
    kBmpBadColormap = 1001,
    kBmpBadDepth = 1002,
    kBmpBadHeader = 1003,
    kBmpBadPlanes = 1004,
    kBmpCompressed = 1006,
    kBmpNotBmp = 1007,
    kBmpTrace = 1008,
    kBmpTraceMapped = 1009,
    kBmpTraceOs2 = 1010,
    kBmpTraceOs2Mapped = 1011,
    kBmpUngetcFailed = 1054,
    kBmpUnknownFormat = 1055,
    kBmpLastMessage = 1057,
};

// Lets the error manager format the codes above.
void RegisterBmpMessages(jpeg_error_mgr& errors);

class BmpSource {
public:
    // Reads and checks the headers, sets the compressor's image fields and asks for the
    // image store. The store is realised by jpeg_start_compress.
    void Start();
    // Puts the next row, top row first, into Buffer()[0]; returns the rows given (1).
    JDIMENSION GetRows() { return (this->*getRows_)(); }
    JSAMPARRAY Buffer() const { return buffer_; }
    void Finish() {}

private:
    friend BmpSource* SelectInputReader(j_compress_ptr compressor, FILE* input);
    BmpSource(j_compress_ptr compressor, FILE* input);

    int ReadByte();
    void ReadBytes(void* into, size_t count);
    void ReadColorMap(int entries, int entrySize);
    long RemainingBytes();
    JDIMENSION PreloadImage();
    JDIMENSION Get8BitRow();
    JDIMENSION Get24BitRow();

    j_compress_ptr compressor_;
    FILE* input_;
    JSAMPARRAY colormap_ = nullptr;  // 3 rows (red, green, blue) of the file's entries
    int colormapEntries_ = 0;        // indices from here on give black
    jvirt_sarray_ptr image_ = nullptr;
    JDIMENSION rowWidth_ = 0;  // stored bytes per row, padding included
    int bitsPerPixel_ = 0;
    JDIMENSION nextRow_ = 0;  // rows still to hand out, counting down
    JSAMPARRAY buffer_ = nullptr;
    JDIMENSION (BmpSource::*getRows_)() = &BmpSource::PreloadImage;
};

// Picks the reader for the open input by its first byte: only BMP files are taken. The
// source lives in the compressor's permanent pool, released by jpeg_destroy_compress.
BmpSource* SelectInputReader(j_compress_ptr compressor, FILE* input);
