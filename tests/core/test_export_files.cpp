// What the glTF file holds where no checker looks (which way the picture and
// its coordinates run), what every exporter refuses, and how an export's
// files are written: all of them or none, one writer of a folder at a time.

#include <gtest/gtest.h>

#include <tiny_gltf.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/export/DesignExport.h"
#include "core/export/GlbExporter.h"
#include "core/export/ObjExporter.h"
#include "core/export/StlExporter.h"
#include "test_export_support.h"

TEST(ExportGlb, PictureAndTextureCoordinatesRunDownFromTheTopRowAndNormalsAreUnit)
{
    const IndexedMesh mesh = BuildIndexedMesh(SweepDesign(kOpenProfile, kBentPath));
    std::vector<unsigned char> pixels = PicturePixels();
    const RgbImage picture{8, 5, pixels};
    const std::vector<unsigned char> glb = ExportGlb(mesh, &picture, "vase").Value().at(0).bytes;

    tinygltf::TinyGLTF loader;
    tinygltf::Model model;
    std::string error, warning;
    ASSERT_TRUE(loader.LoadBinaryFromMemory(&model, &error, &warning, glb.data(), static_cast<unsigned>(glb.size())))
        << error;
    EXPECT_TRUE(model.materials.at(0).doubleSided);
    const tinygltf::Image& image = model.images.at(0);
    ASSERT_EQ(image.width * image.height, 40);
    for (int x = 0; x < 8; ++x)  // the picture's top row, last in RgbImage, comes first
        EXPECT_EQ(std::memcmp(&image.image[image.component * x], &pixels[4 * 24 + 3 * x], 3), 0) << x;

    const auto Float = [&](const char* attribute, std::size_t i) {
        const tinygltf::Accessor& accessor =
            model.accessors.at(model.meshes.at(0).primitives.at(0).attributes.at(attribute));
        const std::size_t offset = model.bufferViews.at(accessor.bufferView).byteOffset + 4 * i;
        float value;
        std::memcpy(&value, &model.buffers.at(0).data.at(offset), 4);
        return value;
    };
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
        EXPECT_EQ(Float("TEXCOORD_0", 2 * i), mesh.vertices[i].s);
        EXPECT_EQ(Float("TEXCOORD_0", 2 * i + 1), 1.0f - mesh.vertices[i].t);
        const double x = Float("NORMAL", 3 * i), y = Float("NORMAL", 3 * i + 1), z = Float("NORMAL", 3 * i + 2);
        EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 1.0, 1e-6);
    }
}

TEST(ExportFiles, RefuseWhatTheyCannotWriteWithAMessage)
{
    const IndexedMesh mesh = BuildIndexedMesh(SweepDesign(kOpenProfile, kStraightPath));
    const RgbImage noPixels{0, 0, {}};
    IndexedMesh beyondFloat = mesh;
    beyondFloat.vertices[0].position.x = 1e39;
    const Result<ExportedFiles> refused[] = {
        ExportStl(mesh, ""), ExportStl(mesh, "out/vase"), ExportObj(mesh, nullptr, "va\nse"),
        ExportGlb(mesh, &noPixels, "vase"), ExportObj(mesh, &noPixels, "vase"),
        ExportStl(beyondFloat, "vase"), ExportGlb(IndexedMesh{}, nullptr, "vase"),
    };
    for (std::size_t i = 0; i < std::size(refused); ++i) {
        ASSERT_FALSE(refused[i]) << i;
        EXPECT_FALSE(refused[i].Error().empty()) << i;
    }
}

namespace {

// An OBJ export with its material and picture, and a folder holding an older
// export of the same name.
class ExportSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/velmora-export-set-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir = name;
        const RgbImage picture{8, 5, PicturePixels()};
        const Result<ExportedFiles> exported =
            ExportObj(BuildIndexedMesh(SweepDesign(kOpenProfile, kBentPath)), &picture, "vase");
        ASSERT_TRUE(exported) << exported.Error();
        files = *exported;
        ASSERT_EQ(files.size(), 3u);
        ASSERT_GT(files[0].bytes.size(), 4096u);  // the OBJ; the others are smaller
        for (const char* file : {"vase.obj", "vase.mtl", "vase.png"})
            std::ofstream(dir + "/" + file, std::ios::binary) << "old " << file;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Read(const std::string& name) const
    {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool AllOld() const
    {
        return Read("vase.obj") == "old vase.obj" && Read("vase.mtl") == "old vase.mtl" &&
               Read("vase.png") == "old vase.png";
    }
    bool AllNew() const
    {
        for (const ExportedFile& file : files)
            if (Read(file.name) != std::string(file.bytes.begin(), file.bytes.end()))
                return false;
        return true;
    }
    std::size_t Entries() const
    {
        return std::size_t(std::distance(std::filesystem::directory_iterator(dir), {}));
    }
    // Runs WriteExportFiles in a child process, after `prepare`; its reason, or "written".
    pid_t StartWriter(const std::function<void()>& prepare, int& output) const
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return -1;
        const pid_t child = ::fork();
        if (child == 0) {
            prepare();
            const Result<void> written = WriteExportFiles(files, dir, "vase.obj");
            const std::string reason = written ? "written" : written.Error();
            ::_exit(::write(fds[1], reason.data(), reason.size()) == ssize_t(reason.size()) ? 0 : 1);
        }
        ::close(fds[1]);
        output = fds[0];
        return child;
    }
    static std::string Finish(pid_t child, int output)
    {
        char buffer[512];
        const ssize_t n = ::read(output, buffer, sizeof buffer);
        ::close(output);
        int status = 0;
        return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0
                   ? std::string(buffer, std::size_t(n > 0 ? n : 0))
                   : "the writer failed";
    }

    std::string dir;
    ExportedFiles files;
};

// Whether /proc/locks shows `pid` waiting for a flock.
bool WaitingForALock(pid_t pid)
{
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);)
        if (line.find("-> FLOCK") != std::string::npos &&
            line.find(" " + std::to_string(pid) + " ") != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST_F(ExportSet, AFailureAtAnyFileLeavesEveryFileAsItWas)
{
    std::filesystem::remove(dir + "/vase.obj");
    ASSERT_TRUE(std::filesystem::create_directory(dir + "/vase.obj"));
    EXPECT_EQ(WriteExportFiles(files, dir, "vase.obj").Error(), dir + "/vase.obj: cannot replace the file (Is a directory)");
    EXPECT_EQ(Read("vase.mtl"), "old vase.mtl");
    EXPECT_EQ(Read("vase.png"), "old vase.png");
    EXPECT_EQ(Entries(), 3u);  // no temporary file left
    std::filesystem::remove(dir + "/vase.obj");
    std::ofstream(dir + "/vase.obj", std::ios::binary) << "old vase.obj";

    // The disk fills at the OBJ, the last file: a child whose files may not
    // grow past 4 KiB, which the material and picture fit in.
    int output = -1;
    const pid_t child = StartWriter(
        [] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        },
        output);
    ASSERT_GT(child, 0);
    EXPECT_EQ(Finish(child, output), dir + "/vase.obj: cannot write the temporary file (File too large)");
    EXPECT_TRUE(AllOld());
    EXPECT_EQ(Entries(), 3u);

    const Result<void> written = WriteExportFiles(files, dir, "vase.obj");
    ASSERT_TRUE(written) << written.Error();
    EXPECT_TRUE(AllNew());
    EXPECT_EQ(Entries(), 3u);
}

TEST_F(ExportSet, WritersOfOneFolderTakeTurns)
{
    // While the test holds the folder's lock, a writer waits for it with its
    // files still old; once released, it replaces them all.
    const int folder = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    ASSERT_EQ(::flock(folder, LOCK_EX), 0);
    int output = -1;
    // The child's copy of the locked folder goes: it would keep the lock.
    const pid_t child = StartWriter([folder] { ::close(folder); }, output);
    ASSERT_GT(child, 0);
    siginfo_t info{};
    const auto Finished = [&] {
        return ::waitid(P_PID, id_t(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == child;
    };
    bool waiting = false;
    for (int tries = 0; tries < 60000 && !(waiting = WaitingForALock(child)) && !Finished(); ++tries)
        ::usleep(1000);
    EXPECT_TRUE(waiting);
    EXPECT_TRUE(AllOld());
    ::close(folder);
    EXPECT_EQ(Finish(child, output), "written");
    EXPECT_TRUE(AllNew());
    EXPECT_EQ(Entries(), 3u);
}
