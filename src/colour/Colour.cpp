// placeholder so the library has a translation unit until the palettes land
namespace colour {}
