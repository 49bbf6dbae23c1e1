#include "framework/graphics/particles/PLMgr_BC.h"

#include "framework/core/engine/EFCallTrace.h"

namespace {

constexpr s32 PL_UNKNOWN_TYPE    = 1;
constexpr s32 PL_UNKNOWN_EMITTER = 2;

}

PLType_BC* PLMgr_BC::GetType( s32 ) {
	return nullptr;
}

PLType_BC* PLMgr_BC::GetType( const char* ) {
	return nullptr;
}

PLEmitter_BC* PLMgr_BC::GetEmitter( s32 ) {
	return nullptr;
}

PLEmitter_BC* PLMgr_BC::GetEmitter( const char*, u32 ) {
	return nullptr;
}

s32 PLMgr_BC::ParticleTypeCreate() {
	return -1;
}

s32 PLMgr_BC::ParticleTypeDelete( s32 ) {
	return PL_UNKNOWN_TYPE;
}

s32 PLMgr_BC::ParticleEmitterCreate( s32, EFGameObject* ) {
	return PL_UNKNOWN_TYPE;
}

s32 PLMgr_BC::ParticleEmitterDelete( s32 ) {
	return PL_UNKNOWN_EMITTER;
}

s32 PLMgr_BC::ParticleEmitterSetType( s32, s32 ) {
	return PL_UNKNOWN_EMITTER;
}

void PLMgr_BC::LoadEmitters( DTEmitterContainerDescriptor*, EFGameObject* ) {
}

u32 PLMgr_BC::DestroyAttachedEmitters( u32 ) {
	return 0;
}

void PLMgr_BC::Update( f32 ) {
	EFCallTraceAdd( "PLMgr_BC::Update" );
}

void PLMgr_BC::Terminate() {
	EFCallTraceAdd( "PLMgr_BC::Terminate" );
}
