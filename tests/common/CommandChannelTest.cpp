// The channel set-up deletes files in the temporary folder by names it draws itself, and
// its commands expose their members' addresses to a transport: a wrong draw, path or
// offset deletes another file or writes beside a member.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <typeindex>
#include <typeinfo>

#include "common/channel/ChannelCommands.h"
#include "common/channel/ChannelNames.h"
#include "common/channel/IPCEndpointRegistry.h"
#include "common/channel/IPCManager.h"
#include "support/TempEnvironment.h"

namespace {

TEST(ChannelNames, DrawsFollowTheClassicGeneratorWithoutTouchingRand) {
    struct Case {
        int draw;
        char letter;
    };
    for (const Case c : {Case{0, 'a'}, {1310, 'a'}, {1311, 'b'}, {16383, 'm'}, {32766, 'y'},
                         {32767, 'z'}}) {
        EXPECT_EQ(NameLetter(c.draw), c.letter) << c.draw;
    }
    RandomDraws draws(1);
    for (const int expected : {41, 18467, 6334, 26500}) EXPECT_EQ(draws.Next(), expected);

    std::srand(7);
    const int expectedRand = std::rand();
    std::srand(7);
    const ChannelNames names = MakeChannelNames(1);
    EXPECT_EQ(std::rand(), expectedRand);
    EXPECT_EQ(names.first, "aeoiuerh");
    EXPECT_EQ(names.second, "oulwsvma");
    EXPECT_EQ(names.joined, "aeoiuerh oulwsvma");
    EXPECT_NE(MakeChannelNames(2).joined, names.joined);
}

class CommandChannelTest : public TempFolderTest {
protected:
    // Seed 1 gives the names "aeoiuerh" and "oulwsvma".
    ChannelSystem System(const std::string& temp) {
        ChannelSystem system = ChannelSystem::ForFolders("/opt/kalvor", temp);
        system.clockSeconds = [] { return 1u; };
        auto remove = system.removeFile;
        system.removeFile = [this, remove](const std::string& path) {
            removed_.push_back(path);
            return remove(path);
        };
        return system;
    }
    std::vector<std::string> removed_;
};

TEST_F(CommandChannelTest, SetUpDeletesExactlyTheFourChannelFilesInOrderAndCreatesNone) {
    const std::string temp = env_.Path("private");
    ASSERT_EQ(::mkdir(temp.c_str(), 0700), 0);
    const std::vector<std::string> ours = {temp + "/oulwsvmaf.ipc", temp + "/oulwsvma.ipc",
                                           temp + "/aeoiuerhf.ipc", temp + "/aeoiuerh.ipc"};
    const std::string decoys[] = {temp + "/aeoiuerh.ipc.keep", temp + "/oulwsvmaff.ipc",
                                  env_.Path("aeoiuerh.ipc")};
    for (const std::string& p : ours) TempEnvironment::WriteFile(p, "x");
    for (const std::string& p : decoys) TempEnvironment::WriteFile(p, "keep");

    {
        IPCManager manager(System(temp));
        EXPECT_EQ(removed_, ours);
        for (const std::string& p : ours) EXPECT_FALSE(TempEnvironment::Exists(p)) << p;
        for (const std::string& p : decoys) EXPECT_TRUE(TempEnvironment::Exists(p)) << p;
        const IPCChannelFiles::Paths expected = {ours[3], ours[2], ours[1], ours[0]};
        EXPECT_EQ(manager.Connection().Channel().Files().FilePaths(), expected);

        IPCEndpoint& endpoint = manager.Connection().FunctionTable().Endpoint();
        EXPECT_EQ(endpoint.PeerPath(), "/opt/kalvor/korp");
        EXPECT_EQ(manager.Registry().Endpoints().Find("aeoiuerh oulwsvma"), &endpoint);
    }
    // Nothing was created, by the set-up or by its teardown.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp),
                            std::filesystem::directory_iterator()), 2);
}

TEST_F(CommandChannelTest, WithoutAPrivateTemporaryFolderNoFileIsTouched) {
    const std::string decoy = env_.Path("aeoiuerh.ipc");
    TempEnvironment::WriteFile(decoy, "keep");
    IPCManager manager(System(""));
    EXPECT_TRUE(removed_.empty());
    EXPECT_TRUE(TempEnvironment::Exists(decoy));
    for (const std::string& p : manager.Connection().Channel().Files().FilePaths()) {
        EXPECT_TRUE(p.empty());
    }
}

struct CommandCase {
    const char* name;
    std::type_index type;
    uint64_t fields, bytes, blobs;
};

const CommandCase kCommands[] = {
    {"VideoEffects", typeid(IPCVideoEffects), 3, 12, 1},
    {"ComponentID", typeid(EasyMediaComponentID), 0, 0, 1},
    {"VideoWindowID", typeid(EasyMediaVideoWindowID), 0, 0, 1},
    {"Open", typeid(EasyMediaOpen), 0, 0, 2},
    {"OpenSubtitles", typeid(EasyMediaOpenSubtitles), 0, 0, 1},
    {"Play", typeid(EasyMediaPlay), 0, 0, 0},
    {"Pause", typeid(EasyMediaPause), 0, 0, 0},
    {"Stop", typeid(EasyMediaStop), 0, 0, 0},
    {"SetPosition", typeid(EasyMediaSetPosition), 1, 8, 0},
    {"SetWindowPosition", typeid(EasyMediaSetWindowPosition), 4, 16, 0},
    {"AudioVolume", typeid(EasyMediaAudioVolume), 1, 4, 0},
    {"HideCursor", typeid(EasyMediaHideCursor), 1, 4, 0},
    {"Refresh", typeid(EasyMediaRefresh), 0, 0, 0},
    {"VideoEffectInteger", typeid(EasyMediaVideoEffectInteger), 1, 8, 1},
    {"VideoEffectFloat", typeid(EasyMediaVideoEffectFloat), 1, 8, 1},
    {"VideoEffectArray", typeid(EasyMediaVideoEffectArray), 0, 0, 2},
    {"ReturnPosition", typeid(EasyMediaReturnPosition), 2, 12, 0},
    {"ReturnFileInfo", typeid(EasyMediaReturnFileInfo), 14, 56, 1},
};

TEST_F(CommandChannelTest, TheEighteenNamesResolveToTheirCommandsInRegistrationOrder) {
    IPCManager manager(System(""));
    IPCFunctionTable& table = manager.Connection().FunctionTable();
    IPCEndpoint& endpoint = table.Endpoint();
    ASSERT_EQ(table.Commands().size(), std::size(kCommands));
    EXPECT_EQ(endpoint.Commands().Count(), 18u);
    for (size_t i = 0; i < std::size(kCommands); ++i) {
        const CommandCase& c = kCommands[i];
        auto* command = static_cast<EasyFunction*>(endpoint.Commands().Find(c.name));
        ASSERT_NE(command, nullptr) << c.name;
        EXPECT_EQ(command, table.Commands()[i].get()) << c.name;
        EXPECT_EQ(std::type_index(typeid(*command)), c.type) << c.name;
        EXPECT_EQ(command->Name(), c.name);
        EXPECT_EQ(command->Endpoint(), &endpoint);
        const FieldLayout& layout = command->Layout();
        EXPECT_EQ(layout.FixedCount(), c.fields) << c.name;
        EXPECT_EQ(layout.FixedBytes(), c.bytes) << c.name;
        EXPECT_EQ(layout.BlobCount(), c.blobs) << c.name;
        ASSERT_EQ(layout.Fields().size(), c.fields) << c.name;
        ASSERT_EQ(layout.BlobLengths().size(), c.blobs) << c.name;
        // Fields follow one another without overlapping; a blob's data follows its length.
        for (size_t f = 1; f < layout.Fields().size(); ++f) {
            const auto* at = static_cast<const char*>(layout.Fields()[f]);
            const auto* before = static_cast<const char*>(layout.Fields()[f - 1]);
            EXPECT_GE(at, before + layout.Sizes()[f - 1]) << c.name << " field " << f;
        }
        for (size_t b = 0; b < layout.BlobLengths().size(); ++b) {
            EXPECT_EQ(reinterpret_cast<const char*>(layout.BlobData()[b]),
                      reinterpret_cast<const char*>(layout.BlobLengths()[b]) + 8)
                << c.name << " blob " << b;
        }
    }
    EXPECT_EQ(endpoint.Commands().Find("Missing"), nullptr);
}

TEST(ChannelCommands, TheFileInfoRecordFieldsSitAtTheirOffsetsAndTheTailBlobIsPreset) {
    const EasyMediaReturnFileInfo info;
    const FieldLayout& layout = info.Layout();
    const size_t offsets[] = {0, 4, 8, 16, 24, 28, 32, 36, 40, 44, 48, 52, 56, 58};
    const uint64_t sizes[] = {4, 4, 8, 8, 4, 4, 2, 4, 4, 2, 4, 4, 2, 2};
    ASSERT_EQ(layout.Fields().size(), 14u);
    for (size_t i = 0; i < 14; ++i) {
        EXPECT_EQ(static_cast<const unsigned char*>(layout.Fields()[i]) - info.Record(),
                  static_cast<ptrdiff_t>(offsets[i])) << i;
        EXPECT_EQ(layout.Sizes()[i], sizes[i]) << i;
    }
    ASSERT_EQ(layout.BlobCount(), 1u);
    EXPECT_EQ(*layout.BlobLengths()[0], 8u);
    EXPECT_EQ(*layout.BlobData()[0], info.Tail());
}

TEST_F(CommandChannelTest, ComponentIdKeepsFourBytesAndIgnoresShorterBlobs) {
    const unsigned char bytes[] = {0x78, 0x56, 0x34, 0x12, 0xAA, 0xBB};
    struct Case {
        const void* data;
        uint64_t length;
        bool taken;
    };
    for (const Case c : {Case{bytes, 4, true}, {bytes, 6, true}, {bytes, 2, false},
                         {bytes, 0, false}, {nullptr, 4, false}}) {
        IPCManager manager(System(""));
        IPCChannel& channel = manager.Connection().Channel();
        auto* command = static_cast<EasyFunction*>(
            manager.Connection().FunctionTable().Endpoint().Commands().Find("ComponentID"));
        ASSERT_NE(command, nullptr);
        // Filled in as a transport would, through the layout.
        *command->Layout().BlobLengths()[0] = c.length;
        *command->Layout().BlobData()[0] = const_cast<void*>(c.data);
        command->Execute();
        EXPECT_EQ(channel.IdReceived(), c.taken ? 1 : 0) << c.length;
        EXPECT_EQ(channel.Ids().Second(), c.taken ? std::optional<uint32_t>(0x12345678u)
                                                  : std::nullopt) << c.length;
        EXPECT_EQ(channel.Ids().First(), std::nullopt);
    }
}

TEST_F(CommandChannelTest, EachObjectLeavesTheMapsBeforeItGoes) {
    const ChannelSystem system = System("");
    IPCEndpointRegistry registry(system);
    {
        IPCFunctionTable table(registry, "korp");
        EXPECT_EQ(registry.Endpoints().Count(), 1u);
        EasyMediaPlay extra;
        extra.Register("Play", &table.Endpoint());  // shadows the table's own
        EXPECT_EQ(table.Endpoint().Commands().Find("Play"), &extra);
        {
            EasyMediaStop renamed;
            renamed.Register("First", &table.Endpoint());
            renamed.Register("Second", &table.Endpoint());
            EXPECT_EQ(table.Endpoint().Commands().Find("First"), nullptr);
            EXPECT_EQ(table.Endpoint().Commands().Find("Second"), &renamed);
        }
        EXPECT_EQ(table.Endpoint().Commands().Find("Second"), nullptr);
        EXPECT_EQ(table.Endpoint().Commands().Count(), 19u);
    }
    EXPECT_EQ(registry.Endpoints().Count(), 0u);
}

}  // namespace
