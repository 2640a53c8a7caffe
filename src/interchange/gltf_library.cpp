// The one translation unit that compiles tinygltf (and the stb_image decoder it reads PNG and
// JPEG with). Gantry encodes its own PNGs; stb_image_write's code lives in texture_decode.cpp.
#define TINYGLTF_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
#define STBI_FAILURE_USERMSG
#include <tiny_gltf.h>
