#pragma once

// Unpacks a skin package (a zip archive) into the skin folder "_krsktmp" in the private
// temporary folder, where every reader of skin files finds it. A package is a stranger's
// file: entry names never reach outside the folder, nothing is written through a
// symlink, and the current skin stays in place until the new one is completely unpacked.
// Progress and errors go to the output stream only; callers report failure to the user.

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

class SkinUnpacker {
public:
    static constexpr char kSkinFolderName[] = "_krsktmp";
    static constexpr size_t kCopyBufferSize = 8192;
    static constexpr size_t kEntryNameSize = 256;  // longer names are refused, never cut
    // A skin is a few hundred kilobytes; a package that inflates beyond this is hostile.
    static constexpr uint64_t kMaxExtractedBytes = uint64_t{64} << 20;
    // A skin has a few dozen files; a package with more entries than this is refused whole
    // rather than made into that many files.
    static constexpr unsigned long kMaxEntries = 4096;
    // Why a package that does not open as an archive cannot be used.
    static constexpr char kNotAnArchive[] = "it is not a readable zip archive";

    explicit SkinUnpacker(std::ostream& out = std::cout, std::istream& in = std::cin);

    // The private temporary folder followed by "/_krsktmp"; empty when there is none.
    static std::string SkinFolder();

    // Extracts the package into a fresh folder beside the skin folder and, when every
    // entry came out, puts it in the skin folder's place (the old tree is removed without
    // following symlinks). False when the package cannot be opened or an entry fails to
    // read or write; the skin folder is then as it was.
    bool UnpackSkin(const std::string& packagePath);
    // Why the last UnpackSkin failed, as the end of a sentence naming the package.
    const std::string& Failure() const { return failure_; }
    // The message that tells the user which package cannot be used and why.
    static std::string FailureMessage(const std::string& packagePath, const std::string& why);

    // args[0] is not looked at; then, in any order, options beginning with "-" (l or v:
    // list, x: extract, e: without entry paths, o: overwrite without asking; either case),
    // the archive path (".zip" is tried appended when it does not open; only a regular file
    // opens) and optionally the one entry to extract. Extracts into the destination folder.
    // 0 when everything was extracted; an archive of more than kMaxEntries is refused whole.
    int ExtractArchive(const std::vector<std::string>& args);
    // Where ExtractArchive writes; "." until set.
    void SetDestination(const std::string& folder) { destination_ = folder; }

private:
    // archive is an unzFile; root a descriptor of the destination folder.
    int ExtractAllEntries(void* archive, bool withoutPath, bool& overwriteAll);
    int ExtractOneEntry(void* archive, const std::string& name, bool withoutPath,
                        bool& overwriteAll);
    int ExtractCurrentEntry(void* archive, bool withoutPath, bool& overwriteAll);
    int ListArchive(void* archive);
    // Creates the folders below the destination, never through a symlink; the
    // descriptor of the last one, or -1.
    int MakeDirectoryPath(const std::vector<std::string>& folders);
    // Asks on the console whether an existing file is overwritten; A sets overwriteAll.
    bool AskOverwrite(const std::string& name, bool& overwriteAll);
    static void SetFileDosTime(int fd, unsigned long dosDate);

    std::ostream& out_;
    std::istream& in_;
    std::string destination_ = ".";
    int root_ = -1;
    uint64_t extractedBytes_ = 0;
    std::string failure_;
};
