// The one translation unit that compiles tinygltf (and the stb_image decoder it reads PNG and
// JPEG with). Gantry encodes its own PNGs; stb_image_write's code lives in texture_decode.cpp.
#define TINYGLTF_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
#define STBI_FAILURE_USERMSG
// Not our code: MinGW's GCC finds an unused variable in stb_image.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <tiny_gltf.h>
#pragma GCC diagnostic pop
