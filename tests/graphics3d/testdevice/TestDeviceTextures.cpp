#include "graphics3d/testdevice/TestDeviceTextures.h"

#include <cstring>

namespace {

s32 extensionOffset = -1;

void* ExtensionConstructor( void* object, const s32 offset, s32 ) {
	TestDeviceTextureExtension* const ext = RwPluginData<TestDeviceTextureExtension>( object, offset );
	std::memset( ext->textureObject, 0, sizeof( ext->textureObject ) );
	ext->state = TEST_DEVICE_TEXTURE_SET_UP;
	return object;
}

void* ExtensionDestructor( void* object, s32, s32 ) {
	return object;
}

}	// namespace

bool TestDeviceTexturePluginAttach() {
	extensionOffset = RwTextureRegisterPlugin( static_cast<s32>( sizeof( TestDeviceTextureExtension ) ),
											   TEST_DEVICE_TEXTURE_PLUGIN_ID, ExtensionConstructor, ExtensionDestructor,
											   nullptr );
	return extensionOffset >= 0;
}

TestDeviceTextureExtension* TestDeviceTextureExtensionOf( RwTexture* texture ) {
	return RwPluginData<TestDeviceTextureExtension>( texture, extensionOffset );
}
