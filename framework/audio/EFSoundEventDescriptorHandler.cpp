#include "framework/audio/EFSoundEventDescriptorHandler.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/descriptor/DTSoundDescriptor.h"
#include "framework/core/world/EFGameObject.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFSoundEventDescriptorHandler, "SOUND_INST", 23, IT_OBJECT );

EFSoundEventDescriptorHandler::EFSoundEventDescriptorHandler() {
}

EFSoundEventDescriptorHandler::~EFSoundEventDescriptorHandler() {
}

s32 EFSoundEventDescriptorHandler::GetClassID() const {
	return 23;
}

const char * EFSoundEventDescriptorHandler::GetClassName() const {
	return "SOUND_INST";
}

bool EFSoundEventDescriptorHandler::Initialize( const DTCreationParameters & params ) {
	// Only the sound's instance descriptor makes this handler, so the
	// descriptor is the sound's.
	const DTSoundDescriptor * const descriptor = static_cast<const DTSoundDescriptor *>( params.mpoDescriptor );
	if ( descriptor != nullptr && mpGameObjectOwner != nullptr ) {
		mpGameObjectOwner->moNewSoundMgr.AddSound( static_cast<u32>( descriptor->miIndex ) );
	}
	return true;
}

EFInstance * EFSoundEventDescriptorHandler::ShallowCopy() {
	EFSoundEventDescriptorHandler * const copy = new ( std::nothrow ) EFSoundEventDescriptorHandler;
	if ( copy != nullptr ) {
		copy->muiUID = muiUID;
	}
	return copy;
}
