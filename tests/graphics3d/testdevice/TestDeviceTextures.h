/*
===============================================================================

	Texture extension of the host test device.

	Stands where the console driver's texture extension will: 36 bytes on
	every texture (plug-in 0x40C), the driver's texture object followed by
	a state word whose bit 24 says the texture must be set up again before
	use. The constructor sets that bit, and so does the texture-set-raster
	standard (8), which also stores the raster in the texture.

===============================================================================
*/
#ifndef TEST_DEVICE_TEXTURES_H
#define TEST_DEVICE_TEXTURES_H

#include "graphics3d/core/RwTexture.h"

// Bytes of the driver's texture object.
constexpr u32 TEST_DEVICE_TEXTURE_OBJECT_BYTES	= 32;

struct TestDeviceTextureExtension {
	u8		textureObject[TEST_DEVICE_TEXTURE_OBJECT_BYTES];
	u32		state;
};

// Plug-in id of the device's texture extension.
constexpr u32 TEST_DEVICE_TEXTURE_PLUGIN_ID		= 0x40C;
// State bit: the texture is set up again before its next use.
constexpr u32 TEST_DEVICE_TEXTURE_SET_UP		= 0x1000000;

// Registers the texture extension; false when refused.
bool							TestDeviceTexturePluginAttach();
TestDeviceTextureExtension*		TestDeviceTextureExtensionOf( RwTexture* texture );

#endif
