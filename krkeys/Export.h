#pragma once

// What libkrkeys.so shows to the player; everything else in it stays hidden.
#define KRKEYS_EXPORT __attribute__((visibility("default")))
