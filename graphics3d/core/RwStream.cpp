#include "graphics3d/core/RwStream.h"

RwModuleInfo streamModule;

void* _rwStreamModuleOpen( void* instance, const s32 offset, s32 ) {
	streamModule.globalsOffset = offset;
	streamModule.numInstances++;
	return instance;
}

void* _rwStreamModuleClose( void* instance, s32, s32 ) {
	streamModule.numInstances--;
	return instance;
}

bool RwStreamFindChunk( RwStream*, u32, u32*, u32* ) {
	return false;
}

bool _rwStreamReadChunkHeader( RwStream*, u32*, u32*, u32*, u32* ) {
	return false;
}

RwStream* RwStreamSkip( RwStream*, u32 ) {
	return nullptr;
}
