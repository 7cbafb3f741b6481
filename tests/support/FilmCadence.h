#pragma once

// How the film pictures of a telecine test clip (media/Telecine.h) come out
// of a conversion or a player: which film picture each shown picture is,
// and whether it is combed or rebuilt from one field.
#include <string>
#include <vector>

#include "testmedia/Telecine.h"

struct FilmCadence {
  std::vector<int> films;  // the film picture of each whole picture, in order
  int combed = 0;          // pictures whose fields show two film pictures
  int halfPictures = 0;    // pictures rebuilt from one field

  void Add(const test_media::FilmBarPlace& place, double contrastOfWhole);
  // Every film picture before `filmPictures` - 1 shows, none combed or rebuilt
  // from one field, in order, none more than twice, and repeats at least three
  // film pictures apart (an even cadence); empty when so, else what is wrong.
  // A player that falls behind skips pictures: up to `mayMiss` may be missing.
  std::string Faults(int filmPictures, int mayMiss = 0) const;
};

// The cadence of a file's decoded pictures (720x480).
FilmCadence ReadFilmCadence(const std::string& path);
