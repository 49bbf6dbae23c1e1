#include "framework/audio/EFSoundContainerDescriptorHandler.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/descriptor/DTSoundContainerDescriptor.h"
#include "framework/core/world/EFGameObject.h"

#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EFSoundContainerDescriptorHandler, "SOUND_CONTAINER_INST", 89, IT_OBJECT );

EFSoundContainerDescriptorHandler::EFSoundContainerDescriptorHandler() {
}

EFSoundContainerDescriptorHandler::~EFSoundContainerDescriptorHandler() {
}

s32 EFSoundContainerDescriptorHandler::GetClassID() const {
	return 89;
}

const char * EFSoundContainerDescriptorHandler::GetClassName() const {
	return "SOUND_CONTAINER_INST";
}

bool EFSoundContainerDescriptorHandler::Initialize( const DTCreationParameters & params ) {
	// Only the sound's instance descriptor makes this handler, so the
	// descriptor is the sound's.
	const DTSoundContainerDescriptor * const descriptor = static_cast<const DTSoundContainerDescriptor *>( params.mpoDescriptor );
	if ( descriptor != nullptr && mpGameObjectOwner != nullptr ) {
		mpGameObjectOwner->moNewSoundMgr.AddSound( descriptor->mui32SoundEventID );
	}
	return true;
}

EFInstance * EFSoundContainerDescriptorHandler::ShallowCopy() {
	EFSoundContainerDescriptorHandler * const copy = new ( std::nothrow ) EFSoundContainerDescriptorHandler;
	if ( copy != nullptr ) {
		copy->muiUID = muiUID;
	}
	return copy;
}
