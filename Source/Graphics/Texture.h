// Texture: an image file turned into a mip-mapped GL texture, bound to a texture unit by the
// materials that name it. Owned by the resource manager's catalogue, keyed by the file name as
// the material data writes it. The decoded pixels are kept (BGR or BGRA rows), so the GL texture
// can be made again when the renderer's resources are rebuilt. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Gfx {

class Texture {
 public:
  // Decodes the image and creates the GL texture. Rows are kept top row first, or bottom row first
  // with `flip` set. An image that cannot be read is reported and leaves a texture without an
  // image: it has no GL name and binding it unbinds the unit.
  explicit Texture(const std::string& file, uint8_t flip = 0);
  virtual ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // Makes unit GL_TEXTURE0 + unit active and binds this texture to it.
  virtual void Bind(int unit) const;
  // Deletes the GL texture; the pixels stay.
  virtual void DeleteGL();
  // DeleteGL, then CreateGL.
  virtual void Recreate();
  // Creates the GL texture from the pixels: 3 bytes a pixel as RGB, 4 as compressed RGBA, each
  // with every mip level; other sizes get a name and no image. Returns the name.
  virtual uint32_t CreateGL();

  uint32_t Name() const { return m_Name; }
  uint32_t Width() const { return m_Width; }
  uint32_t Height() const { return m_Height; }
  uint32_t BytesPerPixel() const { return m_BytesPerPixel; }
  const std::string& File() const { return m_File; }
  bool HasImage() const { return !m_Pixels.empty(); }
  const std::vector<uint8_t>& Pixels() const { return m_Pixels; }

  // The pixel copy holds exactly width × height × bytes per pixel.
  bool Validate() const;

 protected:
  // A texture made in memory under a name that is no file: nothing is read and no GL texture is
  // made; the deriving class gives the image (4 bytes a pixel, BGRA, top row first) and makes it.
  struct InMemory {};
  Texture(const std::string& name, InMemory);
  void SetImage(uint32_t width, uint32_t height, std::vector<uint8_t> bgra);
  void SetName(uint32_t name) { m_Name = name; }

 private:
  uint32_t m_Name = 0;
  uint32_t m_Width = 0;
  uint32_t m_Height = 0;
  uint32_t m_BytesPerPixel = 0;
  std::vector<uint8_t> m_Pixels;
  std::string m_File;
  uint8_t m_Flip = 0;
};

}  // namespace Gfx
