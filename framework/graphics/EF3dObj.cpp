#include "framework/graphics/EF3dObj.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/descriptor/DT3dObjectDescriptor.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTSphere.h"
#include "datatypes/maths/DTTransfo.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/level/EFRessource.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EF3dObjRes.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "framework/graphics/animation/EFAnimCollPrim.h"
#include "framework/graphics/animation/EFTexFaderRW.h"
#include "framework/graphics/animation/EFTextureAnimNode.h"
#include "framework/graphics/particles/PLMgr.h"
#include "framework/logic/EFLogicCode.h"
#include "framework/physics/ApCollisionPrimitivesPlugin.h"
#include "framework/physics/EFCollisionModel.h"
#include "framework/physics/EFObjCollisionBBox.h"
#include "framework/physics/EFObjCollisionPolygon.h"
#include "framework/physics/EFObjCollisionSweptSphere.h"
#include "framework/physics/EFPhysic.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwRenderState.h"
#include "graphics3d/core/RxPipeline.h"
#include "graphics3d/core/RxPipelineModule.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpSkin.h"

#include <cstdint>
#include <cstring>
#include <new>

DT_IMPLEMENT_DYNAMIC_CLASS( EF3dObj, "3D_OBJECT_INST", EF_3D_OBJ_CLASS_ID, IT_OBJECT );

namespace {

// Hierarchy flags: keep the modelling matrices and the node frames' world
// matrices up to date.
constexpr s32 HIERARCHY_UPDATE_FRAMES		= 0x3000;
// Hierarchy flag: keep the modelling matrices up to date (bodies ride
// on the node frames).
constexpr s32 HIERARCHY_MODELLING_MATRICES	= 0x1000;

// A primitive's flag: its defaults were taken from the model.
constexpr u32 EF_PRIM_DEFAULTS_SET			= 0x01;
// The polygon-data answer for an index past the records.
constexpr u32 POLYGON_SET_NONE				= 0xFFFFFFFF;

// Depth-write render state.
constexpr RwRenderState STATE_ZWRITE		= 8;

// Logic code whose objects draw with depth writes forced on.
const char SHORELINE_CLIP[]					= "shorelineclip";

// Material colours saved while a blending colour modulates them; one
// array for every object, as drawing is single-threaded.
RwRGBA gSavedColors[EF_3D_OBJ_MAX_MATERIALS];

u8 Modulate( const u8 channel, const f32 factor ) {
	const u32 value = DTFloatToU32( static_cast<f32>( channel ) * factor );
	return static_cast<u8>( value > 255 ? 255 : value );
}

u32 ModulatedCount( const RpGeometry * geometry ) {
	const s32 count = geometry->matList.numMaterials;
	if ( count <= 0 || geometry->matList.materials == nullptr ) {
		return 0;
	}
	return static_cast<u32>( count ) < EF_3D_OBJ_MAX_MATERIALS ? static_cast<u32>( count ) : EF_3D_OBJ_MAX_MATERIALS;
}

RwFrame * FindHierarchyFrame( RwFrame * frame ) {
	for ( RwFrame * child = frame->child; child != nullptr; child = child->next ) {
		if ( RpHAnimFrameGetHierarchy( child ) != nullptr ) {
			return child;
		}
		if ( RwFrame * const found = FindHierarchyFrame( child ) ) {
			return found;
		}
	}
	return nullptr;
}

void SetRenderState( const RwRenderState state, const uintptr_t value ) {
	RwRenderStateSet( state, reinterpret_cast<void *>( value ) );
}

}

EF3dObj::EF3dObj() : muiNbTransfo( 0 ) {
}

EF3dObj::~EF3dObj() {
	if ( gpoGraphicsMgr != nullptr ) {
		gpoGraphicsMgr->GetTexFader().DestroyEntry( this );
	}
	delete[] mppTransfo[0];
	mppTransfo[0] = nullptr;
	mppTransfo[1] = nullptr;
	// The frame may be the clump's, which goes with the resource.
	if ( mpFrame != nullptr && mpFrame->moFrame.object.parent != nullptr && ( muiPosFlags & EF_POS_OWNS_FRAME ) == 0 ) {
		RwFrameRemoveChild( &mpFrame->moFrame );
	}
	DestroyFrame();
	mpPlayingTextAnim.Reset();
	if ( mp3dObjRes != nullptr && mp3dObjRes->Release() != 0 ) {
		delete mp3dObjRes;
	}
	mp3dObjRes = nullptr;
}

s32 EF3dObj::GetClassID() const {
	return EF_3D_OBJ_CLASS_ID;
}

const char * EF3dObj::GetClassName() const {
	return "3D_OBJECT_INST";
}

EFInstance * EF3dObj::ShallowCopy() {
	EF3dObj * const copy = new ( std::nothrow ) EF3dObj;
	if ( copy == nullptr ) {
		return nullptr;
	}
	if ( mp3dObjRes != nullptr ) {
		EFRessource * const shared = mp3dObjRes->Copy();
		if ( shared != nullptr ) {
			shared->muiRefCount++;
		}
		copy->SetRessource( shared );
	}
	copy->muiUID = muiUID;
	return copy;
}

bool EF3dObj::Initialize( const DTCreationParameters & params ) {
	// Only a model resource has a clump to draw.
	EF3dObjResData * const resource = mp3dObjRes != nullptr && mp3dObjRes->GetClassID() == EF_3D_OBJ_RES_CLASS_ID
										  ? static_cast<EF3dObjResData *>( mp3dObjRes )
										  : nullptr;
	if ( resource == nullptr || resource->mpClump == nullptr ) {
		return false;
	}
	mpClump = resource->mpClump;
	RwFrame * const clumpFrame = RpClumpGetFrame( mpClump );
	if ( clumpFrame != nullptr && mpFrame == nullptr ) {
		CreateFrame( reinterpret_cast<DTFrame *>( clumpFrame ) );
	}
	if ( mpFrame != nullptr && mpGameObjectOwner != nullptr && mpGameObjectOwner->mpFrame != nullptr &&
		 mpFrame->moFrame.object.parent == nullptr ) {
		RwFrameAddChild( &mpGameObjectOwner->mpFrame->moFrame, &mpFrame->moFrame );
	}

	InitHierarchy();

	const DT3dObjectDescriptor * const descriptor = static_cast<const DT3dObjectDescriptor *>( params.mpoDescriptor );
	if ( descriptor != nullptr ) {
		if ( ( descriptor->miInstanceFlag & EF_3D_OBJ_INSTANCE_ALPHA ) != 0 ) {
			mui3dObjState |= EF_3D_OBJ_ALPHA;
		} else if ( ( descriptor->miInstanceFlag & EF_3D_OBJ_INSTANCE_ADDITIVE ) != 0 ) {
			mui3dObjState |= EF_3D_OBJ_ADDITIVE;
		} else if ( ( descriptor->miInstanceFlag & EF_3D_OBJ_INSTANCE_MULTIPLIED ) != 0 ) {
			mui3dObjState |= EF_3D_OBJ_MULTIPLIED;
		}
	}

	RpClumpForAllAtomics(
		mpClump,
		[]( RpAtomic * atomic, void * ) -> RpAtomic * {
			// A clone of an initialised clump carries EmptyRender, which
			// must never become the callback that draws it.
			if ( atomic->renderCallBack != EmptyRender ) {
				ApSetAtomicCallBackRender( atomic, atomic->renderCallBack );
			}
			atomic->renderCallBack = EmptyRender;
			return atomic;
		},
		nullptr );

	if ( resource->mpResEmitters != nullptr && gpoPLParticleMgr != nullptr ) {
		gpoPLParticleMgr->LoadEmitters( resource->mpResEmitters, mpGameObjectOwner );
	}
	return true;
}

void EF3dObj::Render( const u16 lod ) {
	if ( mpClump == nullptr ) {
		return;
	}
	struct Pass {
		EF3dObj *	object;
		u32			lod;
	} pass = { this, lod & EF_3D_OBJ_LOD_MASK };
	RpClumpForAllAtomics(
		mpClump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			const Pass * const p = static_cast<const Pass *>( data );
			if ( ( atomic->object.object.flags & rpATOMICRENDER ) != 0 && ApGetAtomicLod( atomic ) == p->lod ) {
				p->object->RenderAtomic( atomic, p->lod );
			}
			return atomic;
		},
		&pass );
}

void EF3dObj::RenderAtomic( RpAtomic * atomic, const u32 lod ) {
	RpGeometry * const geometry = atomic->geometry;
	const bool blending = ( mui3dObjState & EF_3D_OBJ_BLENDING_COLOR ) != 0 && geometry != nullptr;
	u32 savedFlags = 0;
	u32 materials = 0;
	if ( blending ) {
		savedFlags = geometry->flags;
		geometry->flags |= rpGEOMETRYMODULATEMATERIALCOLOR;
		materials = ModulatedCount( geometry );
		for ( u32 i = 0; i < materials; i++ ) {
			RpMaterial * const material = geometry->matList.materials[i];
			if ( material == nullptr ) {
				continue;
			}
			gSavedColors[i] = material->color;
			material->color.red = Modulate( material->color.red, mfBlendingColor[0] );
			material->color.green = Modulate( material->color.green, mfBlendingColor[1] );
			material->color.blue = Modulate( material->color.blue, mfBlendingColor[2] );
			material->color.alpha = Modulate( material->color.alpha, mfBlendingColor[3] );
		}
	}
	const bool stencil = mpGameObjectOwner != nullptr && ( mpGameObjectOwner->muiLogicFlags & EF_3D_OBJ_STENCIL_LOGIC_FLAG ) != 0;
	if ( stencil && gpoGraphicsMgr != nullptr ) {
		gpoGraphicsMgr->EnableStencilWrite( 1 );
	}
	if ( muiTexFaderRefCount != 0 && gpoGraphicsMgr != nullptr ) {
		gpoGraphicsMgr->GetTexFader().FadeAtomic( this, atomic, lod );
	} else {
		DrawAtomic( atomic, lod );
	}
	if ( stencil && gpoGraphicsMgr != nullptr ) {
		gpoGraphicsMgr->EnableStencilWrite( 0 );
	}
	if ( blending ) {
		geometry->flags = savedFlags;
		for ( u32 i = 0; i < materials; i++ ) {
			if ( RpMaterial * const material = geometry->matList.materials[i] ) {
				material->color = gSavedColors[i];
			}
		}
	}
}

void EF3dObj::DrawAtomic( RpAtomic * atomic, const u32 lod ) {
	if ( RwFrame * const frame = RpAtomicGetFrame( atomic ) ) {
		RwFrameUpdateObjects( frame );
	}
	for ( EFTextureAnimNode * node = mpPlayingTextAnim.mpFirst; node != nullptr; node = node->mpSLLNext ) {
		node->ApplyText( lod );
	}
	const RpAtomicCallBackRender callBack = ApGetAtomicCallBackRender( atomic );
	if ( callBack != nullptr ) {
		if ( IsShorelineClip() ) {
			void * saved = nullptr;
			RwRenderStateGet( STATE_ZWRITE, &saved );
			SetRenderState( STATE_ZWRITE, 1 );
			callBack( atomic );
			RwRenderStateSet( STATE_ZWRITE, saved );
		} else {
			callBack( atomic );
		}
	} else {
		RxPipeline * const pipeline = atomic->pipeline != nullptr ? atomic->pipeline : _rxPipelineGetDefaultAtomicPipeline();
		RxPipelineExecute( pipeline, atomic, true );
	}
	for ( EFTextureAnimNode * node = mpPlayingTextAnim.mpFirst; node != nullptr; node = node->mpSLLNext ) {
		node->RestoreText( lod );
	}
}

bool EF3dObj::IsShorelineClip() const {
	if ( mpGameObjectOwner == nullptr ) {
		return false;
	}
	const EFLogicCode * const code = mpGameObjectOwner->moLogicInstance.mpLogicCode;
	const char * const name = code != nullptr ? code->GetObjectName() : nullptr;
	return name != nullptr && std::strcmp( name, SHORELINE_CLIP ) == 0;
}

void EF3dObj::LightObject( const u32 lit ) {
	if ( mpClump == nullptr ) {
		return;
	}
	RpClumpForAllAtomics(
		mpClump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			if ( RpGeometry * const geometry = atomic->geometry ) {
				if ( *static_cast<const u32 *>( data ) != 0 ) {
					geometry->flags |= rpGEOMETRYLIGHT;
				} else {
					geometry->flags &= ~rpGEOMETRYLIGHT;
				}
			}
			return atomic;
		},
		const_cast<u32 *>( &lit ) );
}

s32 EF3dObj::GetJointIndex( const u32 id ) const {
	if ( mpHierarchy == nullptr ) {
		return -1;
	}
	if ( id > 0xFFFF ) {
		return RpHAnimIDGetIndex( mpHierarchy, static_cast<s32>( id ) );
	}
	return static_cast<s32>( id ) < mpHierarchy->numNodes ? static_cast<s32>( id ) : -1;
}

DTFrame * EF3dObj::GetJointFrame( const s32 joint ) const {
	if ( joint < 0 || mpHierarchy == nullptr || joint >= mpHierarchy->numNodes || mpHierarchy->pNodeInfo == nullptr ||
		 mpHierarchy->pNodeInfo[joint].pFrame == nullptr ) {
		return mpFrame;
	}
	return reinterpret_cast<DTFrame *>( mpHierarchy->pNodeInfo[joint].pFrame );
}

s32 EF3dObj::CreateCollisionPrimitives( EFPhysic & body ) {
	if ( mpClump == nullptr ) {
		return 0;
	}
	if ( mpHierarchy != nullptr ) {
		mpHierarchy->flags |= HIERARCHY_MODELLING_MATRICES;
	}
	const s32 count = ApClumpGetNbCollisionPrimitives( mpClump );
	if ( count <= 0 ) {
		return 0;
	}
	EFCollisionModel & model = body.moCollisionModel;
	GetDefaultPhysicBSphere( model.moPhysicBSphere );
	model.SetMaxPrims( static_cast<u32>( count ) );
	s32 made = 0;
	for ( u32 index = 0; index < static_cast<u32>( count ); ++index ) {
		const ApCollisionPrimitive * const record = ApClumpGetCollisionPrimitive( mpClump, index );
		if ( record == nullptr ) {
			continue;
		}
		if ( record->mui32Shape == EF_PRIM_POLYGON ) {
			// A set the checked data does not hold leaves its slot empty.
			u32 polygons = 0;
			if ( ApClumpGetCollisionPolygonData( mpClump, index, polygons ) == nullptr ||
				 polygons == POLYGON_SET_NONE ) {
				continue;
			}
		}
		EFObjCollisionPrim * const primitive =
			model.AddPrimitive( index, record->mui32Tag, record->mui32Shape, GetJointFrame( record->mi32Joint ) );
		if ( primitive != nullptr ) {
			GetDefaultCollPrimAttrib( index, *primitive );
			++made;
		}
	}
	return made;
}

void EF3dObj::GetDefaultPhysicBSphere( DTSphere & sphere ) const {
	if ( mpClump == nullptr || !ApClumpGetBoundingSphere( mpClump, sphere ) ) {
		sphere = DTSphere();
	}
}

void EF3dObj::GetDefaultCollPrimAttrib( const u32 index, EFAnimCollPrim & primitive ) const {
	const ApCollisionPrimitive * const record =
		mpClump != nullptr ? ApClumpGetCollisionPrimitive( mpClump, index ) : nullptr;
	if ( record == nullptr || primitive.muiKind < EF_ANIM_COLL_SPHERE || primitive.muiKind > EF_ANIM_COLL_SWEPT_SPHERE ) {
		return;
	}
	// The sizes only go into a record of the stored shape's kind.
	const f32 * const size = record->mafSize;
	if ( record->mui32Shape == EF_PRIM_SPHERE && primitive.muiKind == EF_ANIM_COLL_SPHERE ) {
		static_cast<EFAnimCollPrimSphere &>( primitive ).mfRadius = size[0];
	} else if ( record->mui32Shape == EF_PRIM_SWEPT_SPHERE && primitive.muiKind == EF_ANIM_COLL_SWEPT_SPHERE ) {
		EFAnimCollPrimSweptSphere & swept = static_cast<EFAnimCollPrimSweptSphere &>( primitive );
		swept.mfRadius = size[0];
		std::memcpy( swept.mfSegment, size + 1, sizeof( swept.mfSegment ) );
	} else if ( record->mui32Shape == EF_PRIM_BBOX && primitive.muiKind == EF_ANIM_COLL_BOX ) {
		std::memcpy( static_cast<EFAnimCollPrimBox &>( primitive ).mfHalfExtents, size, 3 * sizeof( f32 ) );
	}
	EFAnimCollPrimShape & shape = static_cast<EFAnimCollPrimShape &>( primitive );
	std::memcpy( shape.mfOffset, record->mafOffset, sizeof( shape.mfOffset ) );
	std::memcpy( shape.muiAttributes, record->maui32Attribs, sizeof( shape.muiAttributes ) );
	primitive.muiFlags &= ~EF_ANIM_COLL_RESET;
}

void EF3dObj::GetDefaultCollPrimAttrib( const u32 index, EFObjCollisionPrim & primitive ) const {
	if ( ( primitive.muiPrimFlags & EF_PRIM_DEFAULTS_SET ) != 0 || mpClump == nullptr ) {
		return;
	}
	const ApCollisionPrimitive * const record = ApClumpGetCollisionPrimitive( mpClump, index );
	if ( record == nullptr ) {
		return;
	}
	const f32 * const size = record->mafSize;
	switch ( primitive.mui32Shape ) {
	case EF_PRIM_SPHERE:
		primitive.mfMaxRadius = size[0];
		break;
	case EF_PRIM_SWEPT_SPHERE: {
		EFObjCollisionSweptSphere & swept = static_cast<EFObjCollisionSweptSphere &>( primitive );
		swept.SetRadius( size[0] );
		swept.SetVector( DTVector3d( size[1], size[2], size[3] ) );
		break;
	}
	case EF_PRIM_BBOX:
		static_cast<EFObjCollisionBBox &>( primitive ).SetHalfExtents( DTVector3d( size[0], size[1], size[2] ) );
		break;
	case EF_PRIM_POLYGON: {
		// Counts come from the checked data, laid out for this host once
		// when the clump was read: nothing is exchanged here.
		u32 polygons = 0;
		EFEnvCollisionPrim * const first = ApClumpGetCollisionPolygonData( mpClump, index, polygons );
		// (null, and so no polygons, for a set the data does not hold).
		static_cast<EFObjCollisionPolygon &>( primitive ).SetPolygons( polygons, first );
		break;
	}
	default:
		break;
	}
	primitive.moTrans = DTVector3d( record->mafOffset[0], record->mafOffset[1], record->mafOffset[2] );
	primitive.moPrimPos += primitive.moTrans;
	std::memcpy( primitive.moBaseAttrib.IntArray, record->maui32Attribs, sizeof( primitive.moBaseAttrib.IntArray ) );
	primitive.UpdateCurrentAttribs();
	primitive.muiPrimFlags |= EF_PRIM_DEFAULTS_SET;
}

DTSphere * EF3dObj::GetClippingBSphere() const {
	if ( mpClump == nullptr ) {
		return nullptr;
	}
	RpAtomic * first = nullptr;
	RpClumpForAllAtomics(
		mpClump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			*static_cast<RpAtomic **>( data ) = atomic;
			return nullptr;
		},
		&first );
	if ( first == nullptr ) {
		return nullptr;
	}
	if ( ( first->interpolator.flags & rpINTERPOLATORDIRTYSPHERE ) != 0 ) {
		_rpAtomicResyncInterpolatedSphere( first );
	}
	return reinterpret_cast<DTSphere *>( &first->boundingSphere );
}

void EF3dObj::SetClippingBSphere( DTSphere & sphere ) {
	if ( mpClump == nullptr || mpHierarchy == nullptr || mpHierarchy->numNodes < 1 || mpHierarchy->pNodeInfo == nullptr ||
		 mpHierarchy->pNodeInfo[0].pFrame == nullptr ) {
		return;
	}
	struct Target {
		RwV3d	world;
		f32		radius;
	} target = { { sphere.moPos.x, sphere.moPos.y, sphere.moPos.z }, sphere.mfRadius };
	const RwV3d node = target.world;
	RwV3dTransformPoints( &target.world, &node, 1, RwFrameGetLTM( mpHierarchy->pNodeInfo[0].pFrame ) );
	RpClumpForAllAtomics(
		mpClump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			const Target * const t = static_cast<const Target *>( data );
			if ( ( atomic->interpolator.flags & rpINTERPOLATORDIRTYSPHERE ) != 0 ) {
				_rpAtomicResyncInterpolatedSphere( atomic );
			}
			RwV3d centre = t->world;
			if ( RwFrame * const frame = RpAtomicGetFrame( atomic ) ) {
				RwMatrix inverse;
				RwMatrixInvert( &inverse, RwFrameGetLTM( frame ) );
				RwV3dTransformPoints( &centre, &t->world, 1, &inverse );
			}
			atomic->boundingSphere.center = centre;
			atomic->boundingSphere.radius = t->radius;
			return atomic;
		},
		&target );
}

s32 EF3dObj::InitHierarchy() {
	RwFrame * const root = mpClump != nullptr ? RpClumpGetFrame( mpClump ) : nullptr;
	RwFrame * const frame = root != nullptr ? FindHierarchyFrame( root ) : nullptr;
	if ( frame == nullptr ) {
		return 0;
	}
	RpHAnimHierarchy * const hierarchy = RpHAnimFrameGetHierarchy( frame );
	mpHierarchy = hierarchy;
	RpClumpForAllAtomics(
		mpClump,
		[]( RpAtomic * atomic, void * data ) -> RpAtomic * {
			if ( atomic->geometry != nullptr && RpSkinGeometryGetSkin( atomic->geometry ) != nullptr ) {
				RpSkinAtomicSetHAnimHierarchy( atomic, static_cast<RpHAnimHierarchy *>( data ) );
			}
			return atomic;
		},
		hierarchy );
	mui3dObjState |= EF_3D_OBJ_HAS_HIERARCHY;
	RpHAnimHierarchyAttach( hierarchy );
	if ( ( hierarchy->flags & rpHANIMHIERARCHYNOMATRICES ) != 0 ) {
		hierarchy->flags |= HIERARCHY_UPDATE_FRAMES;
	} else {
		if ( hierarchy->pMatrixArrayUnaligned != nullptr && RwEngineInstance != nullptr ) {
			RwEngineInstance->memoryFunctions.rwfree( hierarchy->pMatrixArrayUnaligned );
		}
		hierarchy->pMatrixArray = nullptr;
		hierarchy->pMatrixArrayUnaligned = nullptr;
		hierarchy->flags |= HIERARCHY_UPDATE_FRAMES | rpHANIMHIERARCHYNOMATRICES;
	}
	InitTransfo( hierarchy->numNodes > 0 ? static_cast<u32>( hierarchy->numNodes ) : 0 );
	return 1;
}

void EF3dObj::InitTransfo( const u32 count ) {
	delete[] mppTransfo[0];
	mppTransfo[0] = nullptr;
	mppTransfo[1] = nullptr;
	muiNbTransfo = 0;
	DTTransfo * const records = new ( std::nothrow ) DTTransfo[2 * static_cast<u64>( count )];
	if ( records == nullptr ) {
		return;
	}
	for ( u32 i = 0; i < count; i++ ) {
		records[i].muiJointIndex = i;
	}
	mppTransfo[0] = records;
	mppTransfo[1] = records + count;
	muiNbTransfo = count;
	muiFreeFlag |= EF_3D_OBJ_TRANSFO_FREE;
}

DTTransfo * EF3dObj::LockTransfo() {
	if ( ( muiFreeFlag & EF_3D_OBJ_TRANSFO_FREE ) == 0 ) {
		return nullptr;
	}
	muiFreeFlag &= ~EF_3D_OBJ_TRANSFO_FREE;
	return mppTransfo[1];
}

void EF3dObj::ReleaseTransfo( DTTransfo * transfo ) {
	if ( transfo != nullptr && transfo == mppTransfo[1] ) {
		muiFreeFlag |= EF_3D_OBJ_TRANSFO_FREE;
	}
}

void EF3dObj::ApplyTransfo( const DTTransfo & transfo, RwFrame * frame ) {
	DTMatrix rotation;
	std::memset( &rotation, 0, sizeof( rotation ) );
	if ( ( transfo.muiState & EF_TRANSFO_EULER ) != 0 ) {
		rotation.SetToRotation( transfo.mEulerRotation );
	} else {
		transfo.mRotation.QuatToMat( &rotation );
	}
	RwMatrix & m = frame->modelling;
	const RwV3d rows[3] = { rotation.oMat.right, rotation.oMat.up, rotation.oMat.at };
	const f32 scale[3] = { transfo.mScaling.x, transfo.mScaling.y, transfo.mScaling.z };
	RwV3d * const out[3] = { &m.right, &m.up, &m.at };
	for ( u32 i = 0; i < 3; i++ ) {
		*out[i] = { rows[i].x * scale[i], rows[i].y * scale[i], rows[i].z * scale[i] };
		if ( ( transfo.muiState & EF_TRANSFO_INVERSE_SCALE ) != 0 ) {
			out[i]->x *= transfo.mInverseScaleParent.x;
			out[i]->y *= transfo.mInverseScaleParent.y;
			out[i]->z *= transfo.mInverseScaleParent.z;
		}
	}
	m.pos = { transfo.mTranslation.x, transfo.mTranslation.y, transfo.mTranslation.z };
	m.flags = 0;
	RwFrameUpdateObjects( frame );
}

void EF3dObj::UpdateHierarchy() {
	if ( mpClump == nullptr || ( mui3dObjState & EF_3D_OBJ_TRANSFO_DRIVEN ) == 0 || mppTransfo[0] == nullptr ||
		 mpHierarchy == nullptr || mpHierarchy->pNodeInfo == nullptr ) {
		return;
	}
	DTTransfo * const records = mppTransfo[0];
	u32 record = 0;
	if ( muiNbTransfo > 0 && ( records[0].muiState & EF_TRANSFO_OWN_FRAME ) != 0 ) {
		if ( mpGameObjectOwner != nullptr && mpGameObjectOwner->mpFrame != nullptr ) {
			ApplyTransfo( records[0], &mpGameObjectOwner->mpFrame->moFrame );
		}
		records[0].ResetEuler( 1 );
		record = 1;
	}
	const u32 nodes = mpHierarchy->numNodes > 0 ? static_cast<u32>( mpHierarchy->numNodes ) : 0;
	for ( u32 node = 0; record < muiNbTransfo && node < nodes; record++, node++ ) {
		if ( RwFrame * const frame = mpHierarchy->pNodeInfo[node].pFrame ) {
			ApplyTransfo( records[record], frame );
		}
	}
}
