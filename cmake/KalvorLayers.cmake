# The folders' layers, from the bottom up. Each folder includes from itself and from the folders
# its row names (a name stands for that folder and every folder inside it), and a row names only
# rows above it, so no two folders reach each other. The build checks every source against this
# table; see CheckLayers.cmake.
set(KALVOR_LAYERS
  "common: "
  "platform/system: "
  "platform/keys: "
  "platform/display: "
  "platform/media: platform/system"
  "platform/registry: platform/system"
  "platform/ui: common platform/system platform/media"
  "platform/editing: platform/system platform/media"
  "kalvorvt: common platform/system platform/media"
  "krkeys: platform/keys"
  "player/settings: common platform"
  "player/skin: common platform"
  "player/menus: common platform"
  "player/playback: common platform kalvorvt player/settings player/menus player/skin"
  "player/options: common platform player/settings player/skin player/menus"
  "player/playlist: common platform player/settings player/skin player/menus player/playback"
  "player/wizard: common platform player/settings player/skin player/menus player/playback player/playlist"
  "player/shell: common platform kalvorvt krkeys player/settings player/skin player/menus player/playback player/options player/playlist player/wizard"
  "player: common platform player/shell"
  "engine: common platform kalvorvt"
)
