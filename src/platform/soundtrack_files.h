// The soundtrack's files in the browser. A page starts its program only once
// the data packed with it has arrived, and the soundtrack is most of that
// data; so the page starts with the files the first frame needs, and the
// soundtrack's files follow into the same file system once the first frame
// is on the screen. Only the browser build has this service.
#pragma once

// Once the first frame is on the screen, fetches the soundtrack's files and
// then runs task: when they are in the file system, or when they could not
// be had (the music code then finds no soundtrack, as in a data set without
// one). Nothing runs once the process has ended.
void FetchSoundtrackFilesThen(void (*task)());
