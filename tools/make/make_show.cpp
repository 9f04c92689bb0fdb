#include "make_show.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "datagen/bmp_writer.h"
#include "datagen/data_set.h"
#include "datagen/mp3_encoder.h"
#include "datagen/soundtrack.h"
#include "picture_files.h"
#include "picture_loader.h"
#include "room_files.h"
#include "show_cards.h"
#include "show_folder.h"
#include "slot_plan.h"
#include "song.h"
#include "terminal_line.h"
#include "title_text.h"

namespace fs = std::filesystem;

namespace {
void Say(const std::string& text) { std::fprintf(stderr, "qeb-make: %s\n", text.c_str()); }

struct Candidate {
  std::string path;
  bool usable = false;
  std::string problem, date;
};

std::string StagedPath(const std::string& folder, size_t index) {
  return folder + "/staging/" + std::to_string(index) + ".rgb";
}

bool WriteStaged(const std::string& path, const Picture& picture) {
  std::ofstream stream(path, std::ios::binary);
  stream.write(reinterpret_cast<const char*>(picture.pixels.data()), std::streamsize(picture.pixels.size() * 3));
  return bool(stream);
}

bool ReadStaged(const std::string& path, int size, Picture& picture) {
  picture = MakePicture(size, size, Rgb{0, 0, 0});
  std::ifstream stream(path, std::ios::binary);
  stream.read(reinterpret_cast<char*>(picture.pixels.data()), std::streamsize(picture.pixels.size() * 3));
  return bool(stream);
}

// Decodes and fits every candidate on all cores. Each fitted picture goes
// to a staging file at once, so memory does not grow with their number.
void LoadCandidates(std::vector<Candidate>& candidates, const FitSettings& settings, const std::string& folder) {
  std::atomic<size_t> next{0};
  std::atomic<int> done{0};
  TerminalLine progress(std::chrono::milliseconds(200));
  const int total = int(candidates.size());
  auto work = [&] {
    for (size_t i = next++; i < candidates.size(); i = next++) {
      LoadedPicture loaded;
      Candidate& candidate = candidates[i];
      if (LoadPicture(candidate.path, settings, loaded, candidate.problem)) {
        candidate.usable = WriteStaged(StagedPath(folder, i), loaded.picture);
        if (!candidate.usable) candidate.problem = "cannot write its staged copy";
        candidate.date = loaded.date;
      }
      const int doneNow = ++done;
      progress.Show("pictures " + std::to_string(doneNow) + "/" + std::to_string(total), doneNow == total);
    }
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::thread> workers;
  for (unsigned i = 1; i < std::min<size_t>(cores, candidates.size()); ++i) workers.emplace_back(work);
  work();
  for (std::thread& worker : workers) worker.join();
  progress.Clear();
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (!bytes.empty() && WriteFileBytes(path, bytes)) return true;
  Say("cannot write " + path);
  return false;
}

bool WriteText(const std::string& path, const std::string& text) {
  return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// The file names of the 120 slots, in the order the show plays them.
std::string SlotFile(int slot) { return AnimationFrameFile(slot / seriesLength, slot % seriesLength); }

bool InsideOf(const fs::path& inner, const fs::path& outer) {
  std::error_code error;
  const fs::path a = fs::weakly_canonical(inner, error), b = fs::weakly_canonical(outer, error);
  auto ai = a.begin();
  for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
    if (bi->empty()) continue;
    if (ai == a.end() || *ai != *bi) return false;
  }
  return true;
}
}  // namespace

int MakeShow(const MakeOptions& options) {
  SilenceMediaLibraries();
  std::error_code error;
  if (fs::symlink_status(options.output, error).type() != fs::file_type::not_found && !options.force) {
    Say(options.output + " exists; give --force to replace it");
    return 2;
  }
  std::vector<std::string> givenPaths = options.inputs;
  if (!options.music.empty()) givenPaths.push_back(options.music);
  if (!options.room.empty()) givenPaths.push_back(options.room);
  for (const std::string& input : givenPaths) {
    if (InsideOf(input, options.output)) {
      Say("the output folder " + options.output + " holds an input, " + input + "; choose another");
      return 2;
    }
  }

  RoomFiles room;
  std::string problem;
  if (options.room.empty()) {
    room = DefaultRoom();
  } else if (!ReadRoom(options.room, room, problem)) {
    Say(problem);
    return 2;
  }

  // The song first: a song that cannot be used stops the run before any
  // picture is decoded.
  std::vector<int16_t> soundtrack;
  std::string musicNote = "the default soundtrack";
  {
    TerminalLine progress(std::chrono::milliseconds(200));
    progress.Show("music", true);
    if (options.music.empty()) {
      soundtrack = SynthesiseSoundtrack();
    } else {
      PreparedSong song;
      if (!PrepareSong(options.music, song, problem)) {
        progress.Clear();
        Say("cannot use the song " + options.music + ": " + problem);
        return 2;
      }
      char text[256];
      std::snprintf(text, sizeof text, "%.1f s, %.1f LUFS brought to %.1f LUFS, true peak %.1f dBFS%s", song.seconds,
                    song.sourceLoudness, song.loudness, song.truePeak,
                    song.fadedOut ? ", cut and faded out at the end of the show" : "");
      musicNote = options.music + " (" + text + ")";
      soundtrack = std::move(song.samples);
    }
    progress.Clear();
  }

  std::vector<std::string> problems;
  std::vector<Candidate> candidates;
  for (const std::string& path : CollectPictureFiles(options.inputs, options.order, problems)) {
    Candidate candidate;
    candidate.path = path;
    candidates.push_back(candidate);
  }
  for (const std::string& text : problems) Say(text);

  HandleEndingSignals();
  ShowFolder folder;
  if (!folder.Create(options.output, problem) || !fs::create_directories(folder.Path() + "/staging", error)) {
    Say(problem.empty() ? "cannot make a folder beside " + options.output : problem);
    return 1;
  }

  FitSettings settings;
  settings.size = options.size;
  settings.fit = options.fit;
  LoadCandidates(candidates, settings, folder.Path());

  std::vector<size_t> usable;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (candidates[i].usable) {
      usable.push_back(i);
    } else {
      Say("skipped " + candidates[i].path + ": " + candidates[i].problem);
    }
  }
  if (usable.empty()) {
    Say("no usable picture; nothing made");
    return 2;
  }
  if (options.order == PictureOrder::date) {
    // Dated pictures first, by date; the others after them, by name.
    std::stable_sort(usable.begin(), usable.end(), [&](size_t a, size_t b) {
      const std::string &da = candidates[a].date, &db = candidates[b].date;
      if (da.empty() != db.empty()) return db.empty();
      return da < db;
    });
  }

  const std::vector<int> plan = PlanSlots(int(usable.size()));
  const std::set<int> shown(plan.begin(), plan.end());
  std::vector<std::string> leftOut;
  for (int i = 0; i < int(usable.size()); ++i) {
    if (!shown.count(i)) leftOut.push_back(candidates[usable[size_t(i)]].path);
  }
  if (!leftOut.empty()) {
    Say(std::to_string(usable.size()) + " pictures for " + std::to_string(pictureSlots) + " places; left out " +
        std::to_string(leftOut.size()) + ":");
    for (const std::string& path : leftOut) Say("  left out " + path);
  }

  const std::string data = folder.Path() + "/Data/";
  std::ostringstream note;
  note << "Made by qeb-make " << QEB_VERSION << ".\n";
  note << "Order: "
       << (options.order == PictureOrder::name   ? "name"
           : options.order == PictureOrder::date ? "date"
                                                 : "given")
       << "; fit: " << (options.fit == PictureFit::cover ? "cover" : "contain") << "; size: " << options.size << "\n";
  note << "Room: " << (options.room.empty() ? "the default room" : options.room) << "\n";
  bool ok = fs::create_directories(data + "anim1", error) && fs::create_directories(data + "anim2", error) &&
            fs::create_directories(data + "anim3", error);
  if (!ok) Say("cannot make the folders in " + data);
  Picture picture;
  note << "Pictures:\n";
  for (int slot = 0; ok && slot < pictureSlots; ++slot) {
    const size_t candidate = usable[size_t(plan[size_t(slot)])];
    ok = ReadStaged(StagedPath(folder.Path(), candidate), options.size, picture) &&
         WriteBytes(data + SlotFile(slot), EncodeBmp24(picture));
    note << "  " << SlotFile(slot) << "  " << candidates[candidate].path << "\n";
  }
  for (const std::string& path : leftOut) note << "Left out: " << path << "\n";
  for (const Candidate& candidate : candidates) {
    if (!candidate.usable) note << "Skipped: " << candidate.path << ": " << candidate.problem << "\n";
  }

  // The opening picture is the first of the show's pictures with the
  // title; the end pictures are its last and its first with the end text.
  std::vector<std::string> textMessages;
  Picture first, last;
  ok = ok && ReadStaged(StagedPath(folder.Path(), usable.front()), options.size, first) &&
       ReadStaged(StagedPath(folder.Path(), usable.back()), options.size, last);
  if (ok) {
    ok = WriteBytes(data + "begin.bmp",
                    EncodeBmp24(MakeOpeningCard(first, options.title, options.subtitle, textMessages))) &&
         WriteBytes(data + "end1.bmp", EncodeBmp24(MakeEndCard(last, options.endText, textMessages))) &&
         WriteBytes(data + "end2.bmp", EncodeBmp24(MakeEndCard(first, options.endText, textMessages)));
  }
  ReleaseFonts();
  // Each text is drawn twice at most; each problem is said once.
  std::sort(textMessages.begin(), textMessages.end());
  textMessages.erase(std::unique(textMessages.begin(), textMessages.end()), textMessages.end());
  for (const std::string& text : textMessages) Say(text);
  note << "Title: " << options.title << "\nSubtitle: " << options.subtitle << "\nEnd: " << options.endText << "\n";
  fs::remove_all(folder.Path() + "/staging", error);

  ok = ok && WriteText(data + "world.txt", room.world) && WriteText(data + "cam.txt", room.camera);
  for (int i = 0; ok && i < 4; ++i) ok = WriteBytes(data + "map" + std::to_string(i + 1) + ".bmp", room.maps[i]);

  ok = ok && WriteBytes(data + "demo.mp3", EncodeMp3(soundtrack, soundtrackSampleRate));
  note << "Music: " << musicNote << "\n";

  ok = ok && WriteText(folder.Path() + "/qeb-make.txt", note.str());
  if (!ok) return 1;
  if (!folder.Commit(problem)) {
    Say(problem);
    return 1;
  }
  return 0;
}
