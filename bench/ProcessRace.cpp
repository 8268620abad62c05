#include "bench/ProcessRace.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

extern char** environ;

namespace {

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return bool(out);
}

// Runs the program and gives what it wrote on standard output; empty when it failed.
std::string Capture(const std::vector<std::string>& argv) {
    int pipes[2];
    if (pipe(pipes) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipes[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipes[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipes[1]);
    std::string text;
    char block[4096];
    for (ssize_t n; spawned == 0 && (n = read(pipes[0], block, sizeof block)) > 0;)
        text.append(block, size_t(n));
    close(pipes[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return {};
    return text;
}

// What ffprobe tells of a file's streams, one map of field to value per stream.
std::vector<std::map<std::string, std::string>> StreamFacts(const std::string& ffprobe,
                                                            const std::string& path) {
    const std::string text =
        Capture({ffprobe, "-v", "error", "-count_packets", "-show_entries",
                 "stream=codec_type,codec_name,width,height,sample_rate,channels,duration,"
                 "nb_read_packets,r_frame_rate",
                 "-of", "default=noprint_wrappers=0", path});
    std::vector<std::map<std::string, std::string>> streams;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line == "[STREAM]") streams.emplace_back();
        const size_t equals = line.find('=');
        if (equals != std::string::npos && !streams.empty())
            streams.back()[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return streams;
}

double Number(const std::map<std::string, std::string>& stream, const char* field) {
    const auto found = stream.find(field);
    if (found == stream.end()) return NAN;
    char* end = nullptr;
    const double value = std::strtod(found->second.c_str(), &end);
    return end && end != found->second.c_str() ? value : NAN;
}

// A stream's length: what its header says, else where its last packet ends (the AVI muxer
// writes no length for MP3 sound).
double Length(const std::string& ffprobe, const std::string& path, size_t index,
              const std::map<std::string, std::string>& stream) {
    if (const double said = Number(stream, "duration"); !std::isnan(said)) return said;
    std::istringstream packets(Capture({ffprobe, "-v", "error", "-select_streams",
                                        std::to_string(index), "-show_entries",
                                        "packet=pts_time,duration_time", "-of", "csv=p=0", path}));
    double end = NAN;
    for (std::string line; std::getline(packets, line);) {
        double pts = 0, duration = 0;
        if (std::sscanf(line.c_str(), "%lf,%lf", &pts, &duration) == 2)
            end = std::isnan(end) ? pts + duration : std::max(end, pts + duration);
    }
    return end;
}

std::string Shown(const ProgramRun& run) {
    std::string text;
    for (const std::string& a : run.argv) {
        if (!text.empty()) text += ' ';
        text += a.find_first_of(" ;[]") == std::string::npos ? a : "'" + a + "'";
    }
    return text;
}

}  // namespace

RunTimes TimeRun(const ProgramRun& run, const std::string& errors) {
    RunTimes times;
    if (!run.output.empty()) std::remove(run.output.c_str());
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) environment.emplace_back(*e);
    for (const std::string& added : run.environment) {
        const std::string name = added.substr(0, added.find('=') + 1);
        std::erase_if(environment, [&](const std::string& e) { return e.starts_with(name); });
        environment.push_back(added);
    }
    std::vector<char*> args, env;
    for (const std::string& a : run.argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : environment) env.push_back(const_cast<char*>(e.c_str()));
    args.push_back(nullptr);
    env.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO,
                                     errors.empty() ? "/dev/null" : errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return times;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return times;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return times;
    struct stat written {};
    if (!run.output.empty() && (::stat(run.output.c_str(), &written) != 0 || written.st_size == 0))
        return times;
    times.wall = wall;
    times.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return times;
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

ProgramRun KorcRun(const std::string& folder, const std::string& name, JobFile job,
                   const std::vector<std::string>& script, const std::string& output) {
    const std::string jobPath = folder + "/" + name + ".spf";
    const std::string scriptPath = folder + "/" + name + ".script";
    std::string steps;
    for (const std::string& step : script) steps += step + "\n";
    if (!WriteText(jobPath, JobFileBytes(job)) || !WriteText(scriptPath, steps)) {
        std::fprintf(stderr, "cannot write the job files into %s\n", folder.c_str());
        std::exit(1);
    }
    const char* other = std::getenv("KORC");
    return {{other && *other ? std::string(other) : std::string(KALVOR_PROGRAM_DIR) + "/korc", jobPath},
            {"QT_QPA_PLATFORM=offscreen", "KALVOR_MESSAGES=stderr", "KORC_PAGE_SCRIPT=" + scriptPath},
            output};
}

ProgramRun FfmpegRun(const std::string& ffmpeg, const std::vector<std::string>& arguments,
                     const std::string& output) {
    ProgramRun run{{ffmpeg, "-nostdin", "-loglevel", "error", "-y"}, {}, output};
    run.argv.insert(run.argv.end(), arguments.begin(), arguments.end());
    return run;
}

bool SameStreams(const std::string& ffprobe, const std::string& a, const std::string& b,
                 std::string* why) {
    const auto first = StreamFacts(ffprobe, a), second = StreamFacts(ffprobe, b);
    std::string differences;
    auto differ = [&](const std::string& text) { differences += (differences.empty() ? "" : "; ") + text; };
    if (first.empty() || second.empty()) differ("ffprobe read no streams");
    if (first.size() != second.size())
        differ(std::to_string(first.size()) + " streams beside " + std::to_string(second.size()));
    for (size_t i = 0; i < std::min(first.size(), second.size()); ++i) {
        const auto &x = first[i], &y = second[i];
        for (const char* field : {"codec_type", "codec_name", "width", "height", "sample_rate",
                                  "channels", "r_frame_rate"}) {
            const auto fx = x.find(field), fy = y.find(field);
            const std::string vx = fx == x.end() ? "" : fx->second;
            const std::string vy = fy == y.end() ? "" : fy->second;
            if (vx != vy) differ("stream " + std::to_string(i) + " " + field + " " + vx + " / " + vy);
        }
        const bool video = x.count("codec_type") && x.at("codec_type") == "video";
        const double frame = video ? 1.0 / std::max(1.0, Number(x, "nb_read_packets") /
                                                             std::max(0.001, Number(x, "duration")))
                                   : 0.0;
        const double allowed = video ? 2.5 * frame : 0.1;
        const double dx = Length(ffprobe, a, i, x), dy = Length(ffprobe, b, i, y);
        if ((!std::isnan(dx) || !std::isnan(dy)) && !(std::fabs(dx - dy) <= allowed))
            differ("stream " + std::to_string(i) + " lasts " + std::to_string(dx) + " / " +
                   std::to_string(dy) + " s");
        if (video && !(std::fabs(Number(x, "nb_read_packets") - Number(y, "nb_read_packets")) <= 2))
            differ("stream " + std::to_string(i) + " has " + x.at("nb_read_packets") + " / " +
                   (y.count("nb_read_packets") ? y.at("nb_read_packets") : "?") + " pictures");
    }
    if (why) *why = differences;
    return differences.empty();
}

bool RunRaces(const std::vector<Race>& races, int rounds, const std::string& ffprobe,
              const std::string& folder) {
    struct Result {
        std::vector<double> korc, tool, ratios, korcCpu, toolCpu;
        std::string verdict;
        bool failed = false;
    };
    std::vector<Result> results(races.size());
    const std::string errors = folder + "/errors.txt";
    auto time = [&](const ProgramRun& run, Result& result) {
        const RunTimes times = TimeRun(run, errors);
        if (times.wall < 0 && !result.failed) {
            std::ifstream said(errors);
            std::stringstream text;
            text << said.rdbuf();
            std::fprintf(stderr, "failed: %s\n%s\n", Shown(run).c_str(), text.str().c_str());
            result.failed = true;
        }
        return times;
    };
    // Warm-up: the files and libraries in the page cache for both.
    for (size_t i = 0; i < races.size(); ++i) {
        time(races[i].korc, results[i]);
        time(races[i].tool, results[i]);
    }
    for (int round = 0; round < rounds; ++round) {
        std::fprintf(stderr, "round %d of %d\r", round + 1, rounds);
        for (size_t i = 0; i < races.size(); ++i) {
            Result& result = results[i];
            if (result.failed) continue;
            RunTimes korc, tool;
            if (round % 2 == 0) {
                korc = time(races[i].korc, result);
                tool = time(races[i].tool, result);
            } else {
                tool = time(races[i].tool, result);
                korc = time(races[i].korc, result);
            }
            if (result.failed) continue;
            result.korc.push_back(korc.wall);
            result.tool.push_back(tool.wall);
            result.korcCpu.push_back(korc.cpu);
            result.toolCpu.push_back(tool.cpu);
            result.ratios.push_back(korc.wall / tool.wall);
        }
    }
    bool allSame = true;
    std::printf("%-30s %9s %9s %7s %6s %9s  %s\n", "job", "korc s", "tool s", "ratio", "goal",
                "cpu ratio", "outputs (ffprobe)");
    for (size_t i = 0; i < races.size(); ++i) {
        Result& r = results[i];
        if (r.failed) {
            std::printf("%-30s  a run failed\n", races[i].job.c_str());
            allSame = false;
            continue;
        }
        std::string why;
        const bool same = SameStreams(ffprobe, races[i].korc.output, races[i].tool.output, &why);
        allSame = allSame && same;
        const double ratio = Median(r.ratios);
        std::vector<double> cpuRatios;
        for (size_t k = 0; k < r.korcCpu.size(); ++k)
            cpuRatios.push_back(r.korcCpu[k] / std::max(1e-3, r.toolCpu[k]));
        std::printf("%-30s %9.3f %9.3f %7.2f %6s %9.2f  %s%s\n", races[i].job.c_str(),
                    Median(r.korc), Median(r.tool), ratio,
                    ("<=" + std::to_string(races[i].goal).substr(0, 3)).c_str(), Median(cpuRatios),
                    same ? "alike" : ("DIFFER: " + why).c_str(),
                    ratio <= races[i].goal ? "" : "  MISSED");
    }
    std::printf("%d rounds after a warm-up, each alternating which program goes first; seconds "
                "are medians,\nratios the median of the rounds' ratios (wall time; cpu: user + "
                "system)\n",
                rounds);
    for (const Race& race : races) std::printf("  %s: %s\n", race.job.c_str(), Shown(race.tool).c_str());
    return allSame;
}

int RoundsArgument(int argc, char** argv, int index) {
    return argc > index ? std::max(5, std::atoi(argv[index])) : 7;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::optional<BenchTools> FindTools(const char* bench) {
    BenchTools tools{FindOnPath("ffmpeg"), FindOnPath("ffprobe")};
    if (!tools.ffmpeg.empty() && !tools.ffprobe.empty()) return tools;
    std::printf("ffmpeg not found: %s compares korc with it, and skips\n", bench);
    return std::nullopt;
}

JobFile BenchJob(JobKind kind, const std::vector<JobFragmentRecord>& fragments) {
    JobFile file;
    file.header.kind = static_cast<int32_t>(kind);
    file.effects = DefaultEffectParams();
    file.fragments = fragments;
    return file;
}

int EndBench(const std::string& folder, bool same) {
    std::error_code ignored;
    if (same) std::filesystem::remove_all(folder, ignored);
    else std::printf("the outputs are kept in %s\n", folder.c_str());
    return same ? 0 : 1;
}
