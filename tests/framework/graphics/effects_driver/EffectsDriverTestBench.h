/*
===============================================================================

	Fixture for the projected-texture and shadow tests on the console
	driver: a graphics manager opens the library, a main camera looks down
	the z axis from (0, 0, -20), receivers and casters are hand-made
	clumps on bare 3D objects, and drawing is read back from the GPU log.

===============================================================================
*/
#ifndef EFFECTS_DRIVER_TEST_BENCH_H
#define EFFECTS_DRIVER_TEST_BENCH_H

#include "../scene_driver/SceneDriverTestBench.h"

#include "datatypes/maths/DTFrame.h"
#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/effects/EFProjector.h"
#include "framework/graphics/effects/EFProjectorMgr.h"
#include "framework/graphics/effects/EFShadowMgr.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpGeometry.h"

#include <algorithm>
#include <memory>
#include <vector>

class EffectsDriverTest : public SceneDriverTest {
protected:
	void SetUp() override {
		SceneDriverTest::SetUp();
		Start( false );
		RwFrame* const eye = camera->mpFrame->GetRwFrame();
		eye->modelling.pos = { 0.0f, 0.0f, -20.0f };
		RwFrameUpdateObjects( eye );
		if ( RwTexDictionaryGetCurrent() == nullptr ) {
			RwTexDictionarySetCurrent( RwTexDictionaryCreate() );
		}
		savedWork = _WorkMem;
		work = std::make_unique<DTWorkMemory>( workBuffer.data(), static_cast<u32>( workBuffer.size() ) );
		_WorkMem = work.get();
		GXHostSetFramesKept( 1 );
	}

	void TearDown() override {
		goProjectorMgr.Terminate();
		goShadowMgr.Terminate();
		for ( EF3dObj* model : models ) {
			if ( model->mpClump != nullptr ) {
				RpClumpDestroy( model->mpClump );
				model->mpClump = nullptr;
			}
			delete model;
		}
		models.clear();
		for ( EFGameObject* object : objects ) {
			delete object;
		}
		objects.clear();
		_WorkMem = savedWork;
		SceneDriverTest::TearDown();
	}

	// A texture of the current dictionary.
	static RwTexture* AddTexture( const char* name, const s32 size = 8 ) {
		RwTexture* const texture = RwTextureCreate( RwRasterCreate( size, size, 0, rwRASTERTYPETEXTURE ) );
		RwTextureSetName( texture, name );
		RwTexDictionaryAddTexture( RwTexDictionaryGetCurrent(), texture );
		return texture;
	}

	// A 3D object whose clump holds one atomic of the given triangles, on
	// a frame of its own at position.
	EF3dObj* Model( const std::vector<RwV3d>& vertices, const u32 triangles, const RwV3d position = { 0, 0, 0 } ) {
		EF3dObj* const model = new EF3dObj;
		models.push_back( model );
		model->CreateFrame( nullptr );
		RwFrame* const frame = model->mpFrame->GetRwFrame();
		frame->modelling.pos = position;
		RwFrameUpdateObjects( frame );
		RpClump* const clump = RpClumpCreate();
		RpAtomic* const atomic = RpAtomicCreate();
		RpGeometry* const geometry =
			RpGeometryCreate( static_cast<s32>( vertices.size() ), static_cast<s32>( triangles ), rpGEOMETRYPOSITIONS );
		// The bounding sphere: the vertices' mean, out to the farthest one.
		RwV3d centre = { 0, 0, 0 };
		for ( u32 i = 0; i < vertices.size(); i++ ) {
			geometry->morphTarget[0].verts[i] = vertices[i];
			centre = { centre.x + vertices[i].x, centre.y + vertices[i].y, centre.z + vertices[i].z };
		}
		const f32 share = 1.0f / static_cast<f32>( vertices.size() );
		centre = { centre.x * share, centre.y * share, centre.z * share };
		f32 radius = 0.0f;
		for ( const RwV3d& vertex : vertices ) {
			const RwV3d offset = { vertex.x - centre.x, vertex.y - centre.y, vertex.z - centre.z };
			radius = std::max( radius, RwV3dLength( &offset ) );
		}
		geometry->morphTarget[0].boundingSphere = { centre, radius };
		for ( u32 t = 0; t < triangles; t++ ) {
			const u16 base = static_cast<u16>( ( 3 * t ) % vertices.size() );
			geometry->triangles[t] = { { base, static_cast<u16>( base + 1 ), static_cast<u16>( base + 2 ) }, -1 };
		}
		RpAtomicSetGeometry( atomic, geometry, 0 );
		RpGeometryDestroy( geometry );
		RwFrame* const clumpFrame = RwFrameCreate();
		RwFrameAddChild( frame, clumpFrame );
		RpClumpSetFrame( clump, clumpFrame );
		RpAtomicSetFrame( atomic, clumpFrame );
		RpClumpAddAtomic( clump, atomic );
		model->mpClump = clump;
		return model;
	}

	// One triangle on the y = 0 plane: A (0, 0, 0), B (1, 0, 0), C (0, 0, 1).
	EF3dObj* FloorTriangle( const u32 copies = 1 ) {
		return Model( { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 0, 1 } }, copies );
	}

	EFGameObject* Object() {
		EFGameObject* const object = new EFGameObject;
		objects.push_back( object );
		object->moClipping.camClipState[0].ui16CamInFrustum = 1;
		object->moClipping.camClipState[0].uiCamClipOps = 0;
		return object;
	}

	// A visible projector at position looking along -y, right = +x, up = +z.
	static EFProjector* Projector( const RwV3d position, const char* texture, const u32 type = 0 ) {
		EFProjector* const projector = goProjectorMgr.CreateProjector();
		RwFrame* const frame = projector->mpFrame->GetRwFrame();
		frame->modelling.right = { 1, 0, 0 };
		frame->modelling.up = { 0, 0, 1 };
		frame->modelling.at = { 0, -1, 0 };
		frame->modelling.pos = position;
		RwFrameUpdateObjects( frame );
		projector->SetTexture( texture );
		projector->SetSize( 2.0f, 2.0f );
		projector->SetReachDistance( 10.0f );
		projector->SetProjectionType( type );
		return projector;
	}

	// One camera's projector pass, as the frame render runs it.
	void ProjectorFrame() {
		GXHostClearLog();
		goProjectorMgr.Begin( 0 );
		camera->Begin();
		goProjectorMgr.End();
		camera->End();
	}

	static std::vector<const GXHostDraw*> TriangleDraws() {
		std::vector<const GXHostDraw*> draws;
		for ( const GXHostDraw* draw : Draws() ) {
			if ( draw->primitive == GX_TRIANGLES ) {
				draws.push_back( draw );
			}
		}
		return draws;
	}

	std::vector<EF3dObj*>		models;
	std::vector<EFGameObject*>	objects;
	std::vector<u8>				workBuffer = std::vector<u8>( 64 * 1024 );
	std::unique_ptr<DTWorkMemory>	work;
	DTWorkMemory*				savedWork = nullptr;
};

#endif
