#include "support/ZipArchive.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>

bool WriteZipArchive(const std::string& path, const ZipEntries& entries, unsigned long dosDate) {
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    zip_fileinfo info{};
    info.dosDate = dosDate;
    bool ok = zip != nullptr;
    for (const auto& [name, bytes] : entries)
        ok = ok &&
             zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                 Z_DEFLATED, Z_DEFAULT_COMPRESSION) == ZIP_OK &&
             zipWriteInFileInZip(zip, bytes.data(), unsigned(bytes.size())) == ZIP_OK &&
             zipCloseFileInZip(zip) == ZIP_OK;
    return zip && zipClose(zip, nullptr) == ZIP_OK && ok;
}

bool ReadZipArchive(const std::string& path, ZipEntries& entries) {
    unzFile zip = unzOpen(path.c_str());
    if (!zip) return false;
    bool ok = unzGoToFirstFile(zip) == UNZ_OK;
    while (ok) {
        char name[256];
        unz_file_info info;
        ok = unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) ==
                 UNZ_OK &&
             unzOpenCurrentFile(zip) == UNZ_OK;
        if (!ok) break;
        std::string bytes(info.uncompressed_size, '\0');
        ok = unzReadCurrentFile(zip, bytes.data(), unsigned(bytes.size())) == int(bytes.size());
        unzCloseCurrentFile(zip);
        entries.emplace_back(name, bytes);
        if (unzGoToNextFile(zip) != UNZ_OK) break;
    }
    unzClose(zip);
    return ok && !entries.empty();
}
