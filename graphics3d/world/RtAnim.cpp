#include "graphics3d/world/RtAnim.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwError.h"
#include "graphics3d/world/RtAnimTesting.h"

#include <cstdint>
#include <cstring>

RtAnimInterpolatorInfo	RtAnimInterpolatorInfoBlock[RTANIM_MAX_SCHEMES];
s32						RtAnimInterpolatorInfoBlockNumEntries = 0;

static const f32 NO_CALLBACK_TIME = -1.0f;

static void SetAnimError( const u32 code ) {
	RwError error = { RTANIM_PLUGIN_ID, _rwerror( code ) };
	RwErrorSet( &error );
}

static RwMemoryFunctions& Memory() {
	return ( RwEngineInstance != nullptr ? RwEngineInstance : &staticGlobals )->memoryFunctions;
}

bool RtAnimRegisterInterpolationScheme( const RtAnimInterpolatorInfo* interpolatorInfo ) {
	if ( interpolatorInfo == nullptr ) {
		SetAnimError( RWERR_NULL_ARGUMENT );
		return false;
	}
	if ( RtAnimInterpolatorInfoBlockNumEntries >= RTANIM_MAX_SCHEMES ) {
		SetAnimError( RTANIM_ERR_REGISTRY_FULL );
		return false;
	}
	for ( s32 i = 0; i < RtAnimInterpolatorInfoBlockNumEntries; i++ ) {
		if ( RtAnimInterpolatorInfoBlock[i].typeID == interpolatorInfo->typeID ) {
			SetAnimError( RTANIM_ERR_DUPLICATE_TYPE );
			return false;
		}
	}
	RtAnimInterpolatorInfoBlock[RtAnimInterpolatorInfoBlockNumEntries++] = *interpolatorInfo;
	return true;
}

RtAnimInterpolator* RtAnimInterpolatorCreate( const s32 numNodes, const s32 keyFrameSize ) {
	if ( numNodes < 0 || keyFrameSize < 0 ) {
		return nullptr;
	}
	const u64 size = RTANIM_KEYFRAMES_OFFSET + static_cast<u64>( numNodes ) * static_cast<u64>( keyFrameSize );
	if ( size > UINT32_MAX || Memory().rwmalloc == nullptr ) {
		return nullptr;
	}
	RtAnimInterpolator* const interpolator = static_cast<RtAnimInterpolator*>( Memory().rwmalloc( static_cast<u32>( size ) ) );
	if ( interpolator == nullptr ) {
		return nullptr;
	}
	std::memset( interpolator, 0, sizeof( RtAnimInterpolator ) );
	interpolator->currentTime = 0.0f;
	interpolator->animCallBackTime = NO_CALLBACK_TIME;
	interpolator->maxKeyFrameSize = keyFrameSize;
	interpolator->currentKeyFrameSize = keyFrameSize;
	interpolator->numNodes = numNodes;
	interpolator->parentAnimation = interpolator;
	return interpolator;
}

void RtAnimInterpolatorDestroy( RtAnimInterpolator* interpolator ) {
	if ( interpolator != nullptr ) {
		Memory().rwfree( interpolator );
	}
}

void _rtAnimResetRegistryForTests() {
	std::memset( RtAnimInterpolatorInfoBlock, 0, sizeof( RtAnimInterpolatorInfoBlock ) );
	RtAnimInterpolatorInfoBlockNumEntries = 0;
}
