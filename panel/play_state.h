// The panel's playback state and the sets of transport controls that follow it.
#pragma once

// What the decoder is doing, as far as the panel knows.
enum PlayState : int {
    PLAY_IDLE = 1,     // nothing opened since start
    PLAY_STOPPED = 2,  // stopped, or a (re)open is pending
    PLAY_PAUSED = 3,   // paused, or after a single step
    PLAY_PLAYING = 4,  // playing; also after an open that failed
};

// Which transport controls are enabled; see EnableControls.
enum ControlSet : int {
    CTRL_PLAYING = 0,
    CTRL_PAUSED = 1,
    CTRL_STOPPED = 2,
    CTRL_OPENING = 4,
};
