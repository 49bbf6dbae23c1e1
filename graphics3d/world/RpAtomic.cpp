#include "graphics3d/world/RpAtomic.h"

#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwFreeList.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"

#include "datatypes/base/DTByteOrder.h"

RwPluginRegistry	atomicTKList = { static_cast<s32>( sizeof( RpAtomic ) ), static_cast<s32>( sizeof( RpAtomic ) ), 0, 0,
									 nullptr, nullptr };
RpAtomicRights		_rpAtomicRightsState;

// Interpolator flags of a new atomic.
static const s32 RPINTERPOLATOR_DEFAULT_FLAGS = static_cast<s32>( rpINTERPOLATORDIRTYINSTANCE | rpINTERPOLATORDIRTYSPHERE );
// Matrix type bits; 3 is orthonormal.
static const u32 MATRIX_TYPE_MASK		= 3;
static const u32 MATRIX_ORTHONORMAL		= 3;
// Bytes of a rights entry with its extra word.
static const s32 RIGHTS_WITH_EXTRA_BYTES = 8;

static RpAtomic* AtomicOf( RwObjectHasFrame* object ) {
	return reinterpret_cast<RpAtomic*>( object );
}

// Run by the frame system when the atomic's frame moves.
static RwObjectHasFrame* AtomicSync( RwObjectHasFrame* object ) {
	RpAtomic* const atomic = AtomicOf( object );
	if ( atomic->interpolator.flags & rpINTERPOLATORDIRTYSPHERE ) {
		_rpAtomicResyncInterpolatedSphere( atomic );
	}
	atomic->object.object.privateFlags |= rpATOMICPRIVATEWORLDBOUNDDIRTY;
	return object;
}

RpAtomic* RpAtomicCreate() {
	RpClumpGlobals* const globals = _rpClumpGlobals();
	if ( globals == nullptr ) {
		return nullptr;
	}
	RpAtomic* const atomic = static_cast<RpAtomic*>( RwEngineInstance->freeListAllocHook( globals->atomicFreeList ) );
	if ( atomic == nullptr ) {
		return nullptr;
	}
	atomic->object.object = { rpATOMIC, 0, RPATOMIC_DEFAULT_FLAGS, rpATOMICPRIVATEWORLDBOUNDDIRTY, nullptr };
	atomic->object.lFrame = { nullptr, nullptr };
	atomic->object.sync = AtomicSync;
	atomic->repEntry = nullptr;
	atomic->geometry = nullptr;
	atomic->boundingSphere = {};
	atomic->worldBoundingSphere = {};
	atomic->clump = nullptr;
	atomic->inClumpLink = { nullptr, nullptr };
	atomic->renderCallBack = AtomicDefaultRenderCallBack;
	atomic->interpolator = { RPINTERPOLATOR_DEFAULT_FLAGS, 0, 0, 1.0f, 1.0f, 0.0f };
	atomic->renderFrame = 0;
	rwLinkListInitialize( &atomic->llWorldSectorsInAtomic );
	atomic->pipeline = nullptr;
	if ( _rwPluginRegistryInitObject( &atomicTKList, atomic ) == nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->atomicFreeList, atomic );
		return nullptr;
	}
	return atomic;
}

// What destroying an atomic does apart from its clump link; the clump's
// destroy runs it for each of its atomics.
void _rpAtomicDestroyUnlinked( RpAtomic* atomic ) {
	_rwPluginRegistryDeInitObject( &atomicTKList, atomic );
	if ( atomic->repEntry != nullptr ) {
		RwResourcesFreeResEntry( atomic->repEntry );
		atomic->repEntry = nullptr;
	}
	if ( atomic->geometry != nullptr ) {
		RpGeometryDestroy( atomic->geometry );
		atomic->geometry = nullptr;
		RwFrame* const frame = RpAtomicGetFrame( atomic );
		if ( frame != nullptr && RpAtomicGetWorld( atomic ) != nullptr ) {
			RwFrameUpdateObjects( frame );
		}
	}
	_rwObjectHasFrameReleaseFrame( &atomic->object );
	RpClumpGlobals* const globals = _rpClumpGlobals();
	if ( globals != nullptr ) {
		RwEngineInstance->freeListFreeHook( globals->atomicFreeList, atomic );
	}
}

bool RpAtomicDestroy( RpAtomic* atomic ) {
	if ( atomic == nullptr ) {
		return true;
	}
	// A clump must never list a freed atomic.
	if ( atomic->clump != nullptr ) {
		RpClumpRemoveAtomic( atomic->clump, atomic );
	}
	_rpAtomicDestroyUnlinked( atomic );
	return true;
}

RpAtomic* RpAtomicSetFrame( RpAtomic* atomic, RwFrame* frame ) {
	_rwObjectHasFrameSetFrame( &atomic->object, frame );
	atomic->object.object.privateFlags |= rpATOMICPRIVATEWORLDBOUNDDIRTY;
	return atomic;
}

RwFrame* RpAtomicGetFrame( const RpAtomic* atomic ) {
	return static_cast<RwFrame*>( atomic->object.object.parent );
}

RpAtomic* RpAtomicSetGeometry( RpAtomic* atomic, RpGeometry* geometry, const u32 flags ) {
	if ( geometry == atomic->geometry ) {
		return atomic;
	}
	// The new reference is taken before the old one is dropped, so a
	// geometry shared by both stays alive.
	if ( geometry != nullptr ) {
		_rpGeometryAddRef( geometry );
	}
	if ( atomic->geometry != nullptr ) {
		RpGeometryDestroy( atomic->geometry );
	}
	atomic->geometry = geometry;
	if ( ( flags & rpATOMICSAMEBOUNDINGSPHERE ) == 0 ) {
		if ( geometry != nullptr ) {
			atomic->boundingSphere = geometry->morphTarget[0].boundingSphere;
		}
		RwFrame* const frame = RpAtomicGetFrame( atomic );
		if ( frame != nullptr && RpAtomicGetWorld( atomic ) != nullptr ) {
			RwFrameUpdateObjects( frame );
		}
	}
	return atomic;
}

RpAtomic* RpAtomicClone( RpAtomic* atomic ) {
	RpAtomic* const clone = RpAtomicCreate();
	if ( clone == nullptr ) {
		return nullptr;
	}
	clone->object.object.type = atomic->object.object.type;
	clone->object.object.subType = atomic->object.object.subType;
	clone->object.object.flags = atomic->object.object.flags;
	clone->object.object.privateFlags = atomic->object.object.privateFlags;
	RpAtomicSetGeometry( clone, atomic->geometry, 0 );
	clone->boundingSphere = atomic->boundingSphere;
	clone->renderCallBack = atomic->renderCallBack;
	clone->pipeline = atomic->pipeline;
	clone->interpolator = atomic->interpolator;
	_rwPluginRegistryCopyObject( &atomicTKList, clone, atomic );
	return clone;
}

RpAtomic* _rpAtomicResyncInterpolatedSphere( RpAtomic* atomic ) {
	const RpGeometry* const geometry = atomic->geometry;
	if ( geometry == nullptr ) {
		return atomic;
	}
	RpInterpolator& interpolator = atomic->interpolator;
	const s32 start = interpolator.startMorphTarget;
	const s32 end = interpolator.endMorphTarget;
	const s32 count = geometry->numMorphTargets;
	if ( start != end && start < count && end < count ) {
		const RwSphere& from = geometry->morphTarget[start].boundingSphere;
		const RwSphere& to = geometry->morphTarget[end].boundingSphere;
		const f32 t = interpolator.recipTime * interpolator.position;
		atomic->boundingSphere.radius = from.radius + t * ( to.radius - from.radius );
		atomic->boundingSphere.center.x = from.center.x + t * ( to.center.x - from.center.x );
		atomic->boundingSphere.center.y = from.center.y + t * ( to.center.y - from.center.y );
		atomic->boundingSphere.center.z = from.center.z + t * ( to.center.z - from.center.z );
	} else if ( start < count && end < count ) {
		atomic->boundingSphere = geometry->morphTarget[start].boundingSphere;
	} else {
		atomic->boundingSphere = geometry->morphTarget[0].boundingSphere;
	}
	interpolator.flags &= ~static_cast<s32>( rpINTERPOLATORDIRTYSPHERE );
	atomic->object.object.privateFlags |= rpATOMICPRIVATEWORLDBOUNDDIRTY;
	return atomic;
}

const RwSphere* RpAtomicGetWorldBoundingSphere( RpAtomic* atomic ) {
	if ( atomic->interpolator.flags & rpINTERPOLATORDIRTYSPHERE ) {
		_rpAtomicResyncInterpolatedSphere( atomic );
	}
	RwFrame* const frame = RpAtomicGetFrame( atomic );
	// Without a frame the atomic stands in model space.
	if ( frame == nullptr ) {
		atomic->worldBoundingSphere = atomic->boundingSphere;
		atomic->object.object.privateFlags &= static_cast<u8>( ~rpATOMICPRIVATEWORLDBOUNDDIRTY );
		return &atomic->worldBoundingSphere;
	}
	if ( RwFrameDirty( frame ) == 0 && ( atomic->object.object.privateFlags & rpATOMICPRIVATEWORLDBOUNDDIRTY ) == 0 ) {
		return &atomic->worldBoundingSphere;
	}
	const RwMatrix* const ltm = RwFrameGetLTM( frame );
	RwV3dTransformPoints( &atomic->worldBoundingSphere.center, &atomic->boundingSphere.center, 1, ltm );
	atomic->worldBoundingSphere.radius = atomic->boundingSphere.radius;
	if ( ( ltm->flags & MATRIX_TYPE_MASK ) < MATRIX_ORTHONORMAL ) {
		const RwV3d* const axes[] = { &ltm->right, &ltm->up, &ltm->at };
		f32 largest = 0.0f;
		for ( const RwV3d* axis : axes ) {
			const f32 squared = axis->x * axis->x + axis->y * axis->y + axis->z * axis->z;
			if ( squared > largest ) {
				largest = squared;
			}
		}
		atomic->worldBoundingSphere.radius = atomic->boundingSphere.radius * _rwSqrt( largest );
	}
	atomic->object.object.privateFlags &= static_cast<u8>( ~rpATOMICPRIVATEWORLDBOUNDDIRTY );
	return &atomic->worldBoundingSphere;
}


RpAtomic* AtomicDefaultRenderCallBack( RpAtomic* atomic ) {
	RxPipeline* const pipeline = atomic->pipeline != nullptr ? atomic->pipeline : _rxPipelineGetDefaultAtomicPipeline();
	return RxPipelineExecute( pipeline, atomic, true ) != nullptr ? atomic : nullptr;
}

s32 RpAtomicRegisterPlugin( const s32 size, const u32 pluginID, const RwPluginObjectConstructor constructCB,
							const RwPluginObjectDestructor destructCB, const RwPluginObjectCopy copyCB ) {
	return _rwPluginRegistryAddPlugin( &atomicTKList, size, pluginID, constructCB, destructCB, copyCB );
}

s32 RpAtomicRegisterPluginStream( const u32 pluginID, const RwPluginDataChunkReadCallBack readCB,
								  const RwPluginDataChunkWriteCallBack writeCB,
								  const RwPluginDataChunkGetSizeCallBack getSizeCB ) {
	return _rwPluginRegistryAddPluginStream( &atomicTKList, pluginID, readCB, writeCB, getSizeCB );
}

s32 RpAtomicSetStreamAlwaysCallBack( const u32 pluginID, const RwPluginDataChunkAlwaysCallBack alwaysCB ) {
	return _rwPluginRegistryAddPlgnStrmlwysCB( &atomicTKList, pluginID, alwaysCB );
}

s32 RpAtomicSetStreamRightsCallBack( const u32 pluginID, const RwPluginDataChunkRightsCallBack rightsCB ) {
	return _rwPluginRegistryAddPlgnStrmRightsCB( &atomicTKList, pluginID, rightsCB );
}

s32 RpAtomicGetPluginOffset( const u32 pluginID ) {
	return _rwPluginRegistryGetPluginOffset( &atomicTKList, pluginID );
}

RwStream* _rpReadRights( RwStream* stream, const s32 length, RpAtomicRights* state ) {
	u8 bytes[RIGHTS_WITH_EXTRA_BYTES] = {};
	const u32 wanted = length >= RIGHTS_WITH_EXTRA_BYTES ? RIGHTS_WITH_EXTRA_BYTES : 4;
	if ( length < 4 || RwStreamRead( stream, bytes, wanted ) != wanted ) {
		return nullptr;
	}
	state->pluginID = DTReadLE32( bytes );
	state->extraData = length >= RIGHTS_WITH_EXTRA_BYTES ? DTReadLE32( bytes + 4 ) : 0;
	// Bytes past the two words belong to no field.
	if ( static_cast<u32>( length ) > wanted && RwStreamSkip( stream, static_cast<u32>( length ) - wanted ) == nullptr ) {
		return nullptr;
	}
	return stream;
}

RwStream* _rpWriteRights( RwStream* stream, const RxPipeline* pipeline ) {
	u8 bytes[RIGHTS_WITH_EXTRA_BYTES];
	DTWriteLE32( bytes, pipeline->pluginId );
	DTWriteLE32( bytes + 4, pipeline->pluginData );
	return RwStreamWrite( stream, bytes, sizeof( bytes ) );
}

s32 _rpSizeRights( const RxPipeline* pipeline ) {
	return pipeline != nullptr && pipeline->pluginId != 0 ? RIGHTS_WITH_EXTRA_BYTES : 0;
}

RwStream* _rpReadAtomicRights( RwStream* stream, const s32 length, void*, s32, s32 ) {
	return _rpReadRights( stream, length, &_rpAtomicRightsState );
}

RwStream* _rpWriteAtomicRights( RwStream* stream, s32, const void* object, s32, s32 ) {
	return _rpWriteRights( stream, static_cast<const RpAtomic*>( object )->pipeline );
}

s32 _rpSizeAtomicRights( const void* object, s32, s32 ) {
	return _rpSizeRights( static_cast<const RpAtomic*>( object )->pipeline );
}
