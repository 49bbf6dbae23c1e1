#include "framework/audio/EFSoundContainerDescriptorHandler.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/engine/EFCallTrace.h"

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

bool EFSoundContainerDescriptorHandler::Initialize( const DTCreationParameters & ) {
	EFCallTraceAdd( "EFSoundContainerDescriptorHandler::Initialize" );
	return true;
}

EFInstance * EFSoundContainerDescriptorHandler::ShallowCopy() {
	EFSoundContainerDescriptorHandler * const copy = new ( std::nothrow ) EFSoundContainerDescriptorHandler;
	if ( copy != nullptr ) {
		copy->muiUID = muiUID;
	}
	return copy;
}
