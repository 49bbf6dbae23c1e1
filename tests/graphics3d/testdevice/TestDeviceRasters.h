/*
===============================================================================

	Raster, image and camera standards of the host test device.

	Answers these standards the way the console driver does, with its
	raster vocabulary: cType = create flags & 7 (1 Z buffer, 2 camera,
	4 texture; 3, 6 and 7 refused), cFlags = flags & 0xF8 (0x80: no pixel
	memory), cFormat = flags >> 8 (0x500 8888, 0x2000 8-bit and 0x4000
	4-bit palette, 0x8000 mipmaps with MSB(max(w, h)) + 1 levels). Unlike
	the console, whose camera rasters stand for the embedded frame buffer,
	camera rasters here have memory so that clears can be read back; Z
	buffers and 0x80 rasters have none. 24-bit rasters (camera textures)
	get memory but refuse clears and exchanges with images.

	Pixels are linear, all levels one after the other, allocated with the
	engine's memory functions: 32-bit texels as red, green, blue, alpha
	bytes; 8-bit texels one index a byte; 4-bit texels two a byte, high
	nibble first; palettes of 2^depth RwRGBA colours after the texels.
	The memory lives in the device's raster extension (plug-in 0x40C).

	Texture set-raster (8) stores the raster and marks the texture's
	extension for set-up (TestDeviceTextures.h). As on the console, a
	write of level 0 of a raster with automatic mipmaps (an unlock after
	a write lock, or a set from an image of an unlocked raster) has the
	core rebuild the other levels (RwTextureRasterGenerateMipmaps).

	Every standard counts its calls, logs its arguments and can be told
	to refuse; one given a null pointer it needs refuses as well. The image format standard 9 reports for an image can be
	set by tests.

===============================================================================
*/
#ifndef TEST_DEVICE_RASTERS_H
#define TEST_DEVICE_RASTERS_H

#include "graphics3d/core/RwDevice.h"
#include "graphics3d/core/RwRaster.h"
#include "platform/gx/GXHost.h"

#include <vector>

// One logged standard call.
struct TestDeviceStandardCall {
	s32		standard;
	void*	out;
	void*	inOut;
	s32		inInt;
};

// The device's raster extension.
struct TestDeviceRasterExtension {
	u8*		memory;			// texels of every level, then the palette
	u8*		palette;		// null without one
	s32		numLevels;
	s32		lockedLevel;	// -1 while unlocked
};

// Plug-in id of the device's raster extension.
constexpr u32 TEST_DEVICE_RASTER_PLUGIN_ID = 0x40C;

// Largest raster side standard 9 grants to textures.
constexpr s32 TEST_DEVICE_MAX_TEXTURE_SIDE = 1024;

// The standards the device fills the table with, by index; null where it
// has none.
RwStandardFunc								TestDeviceRasterStandard( s32 index );

// Registers the raster extension; false when refused.
bool										TestDeviceRasterPluginAttach();
// The extension of a raster (of its own record, not its parent's).
TestDeviceRasterExtension*					TestDeviceRasterExtensionOf( RwRaster* raster );

// Forgets refusals, counts, the log, the context, the image format, the
// texture grants and the rounding.
void										TestDeviceRastersReset();
void										TestDeviceRefuseStandard( s32 index, bool refuse );
u32											TestDeviceStandardCount( s32 index );
const GXHostVector<TestDeviceStandardCall>&	TestDeviceStandardCalls();
// Forgets the recorded calls, keeping the counts and the record's memory.
// The raster given to the last set-context standard.
RwRaster*									TestDeviceRasterContext();
// Which of the mipmap (0x8000) and automatic-mipmap (0x1000) bits
// standard 9 grants when the requested type asks for them.
constexpr u32 TEST_DEVICE_GRANT_ALL	= 0x9000;
void										TestDeviceSetTextureGrants( u32 grants );
// Rounds texture sizes down to powers of two even without the mipmap
// bit (the console rounds only mipmapped rasters).
void										TestDeviceRoundTextureSizes( bool round );
// The format (bits 8-15 of the create flags) standard 9 reports for
// every image; negative: the default by the image's depth (32 -> 0x500,
// 8 -> 0x2500, 4 -> 0x4500).
void										TestDeviceSetImageRasterFormat( s32 format );

#endif
