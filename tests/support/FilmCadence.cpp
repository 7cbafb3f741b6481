#include "support/FilmCadence.h"

#include <algorithm>
#include <map>

#include "support/DecodedFrames.h"

void FilmCadence::Add(const test_media::FilmBarPlace& place, double contrastOfWhole) {
  if (place.Combed()) {
    ++combed;
    return;
  }
  if (place.rowContrast < contrastOfWhole * 0.75) ++halfPictures;
  films.push_back(place.Film());
}

std::string FilmCadence::Faults(int filmPictures, int mayMiss) const {
  std::string faults;
  if (combed) faults += std::to_string(combed) + " combed pictures; ";
  if (halfPictures) faults += std::to_string(halfPictures) + " pictures rebuilt from one field; ";
  std::map<int, int> shown;
  for (size_t i = 0; i < films.size(); ++i) {
    ++shown[films[i]];
    if (i > 0 && films[i] < films[i - 1])
      faults += "film picture " + std::to_string(films[i]) + " after " + std::to_string(films[i - 1]) + "; ";
  }
  int lastShownTwice = -10, missing = 0;
  for (int film = 0; film + 1 < filmPictures; ++film) {
    const int times = shown.count(film) ? shown.at(film) : 0;
    if (times == 0 && ++missing <= mayMiss) continue;
    if (times == 0 || times > 2) faults += "film picture " + std::to_string(film) + " shown " + std::to_string(times) + " times; ";
    if (times != 2) continue;
    // Film at 29.97 repeats one picture in four; closer repeats judder.
    if (film - lastShownTwice < 3) faults += "film pictures " + std::to_string(lastShownTwice) + " and " + std::to_string(film) + " both repeated; ";
    lastShownTwice = film;
  }
  if (!faults.empty()) {
    faults += "sequence:";
    for (const int film : films) faults += " " + std::to_string(film);
  }
  return faults;
}

FilmCadence ReadFilmCadence(const std::string& path) {
  FilmCadence cadence;
  ForEachDecodedFrame(path, AVMEDIA_TYPE_VIDEO, [&](const AVFrame& frame, double) {
    cadence.Add(test_media::MeasureFilmBar(frame), 70);
  });
  return cadence;
}
