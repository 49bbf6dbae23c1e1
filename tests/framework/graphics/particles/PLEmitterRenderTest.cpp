/*
	Drawing and visibility: screen-space batches of 128, the near and
	margin limits, the rotation table entry, one oriented quad's vertices,
	the blend and stencil states, and emitters leaving and re-entering both
	cameras' views.
*/
#include "ParticleTestBench.h"

#include "datatypes/maths/DTMatrix.h"
#include "datatypes/maths/DTTable128.h"
#include "graphics3d/core/RwIm2D.h"
#include "graphics3d/gamecube/RwDlIm3D.h"

#include <gtest/gtest.h>

namespace {

constexpr s32 RS_SRC_BLEND = 10;
constexpr s32 RS_DEST_BLEND = 11;

class PLEmitterRenderTest : public ParticleTestBench {
protected:
	// An emitter with count particles at (x, y, z), all of age 0.
	PLEmitter* EmitterWith( const u32 count, const f32 x, const f32 y, const f32 z ) {
		PLEmitter* const emitter = MakeEmitter();
		for ( u32 i = 0; i < count; i++ ) {
			emitter->LaunchParticleImmediately()->moPosition = DTVector3d( x, y, z );
		}
		return emitter;
	}

	const RwIm2DVertex* LastVertices() const {
		for ( auto it = TestDeviceCalls().end(); it != TestDeviceCalls().begin(); ) {
			--it;
			if ( it->kind == TestDeviceCall::IM2D_PRIMITIVE ) {
				return static_cast<const RwIm2DVertex*>( it->value );
			}
		}
		return nullptr;
	}
};

std::vector<std::pair<u32, u32>> gClipNotes;

s32 RecordClip( void*, void* data ) {
	const u32* const words = static_cast<const u32*>( data );
	gClipNotes.emplace_back( words[0], words[1] );
	return 0;
}

} // namespace

TEST_F( PLEmitterRenderTest, ScreenParticlesGoOutInBatchesOf128 ) {
	EmitterWith( 129, 0.25f, 0.25f, 2.0f );
	BeginDrawing();
	moParticles->Render();
	EXPECT_EQ( DrawCalls(), ( std::vector<s32>{ 128 * 6, 6 } ) );
}

TEST_F( PLEmitterRenderTest, TheNearPlaneAndThe32PixelMarginsAreInclusive ) {
	const struct {
		const char*	name;
		f32			x;
		f32			y;
		f32			z;
		bool		drawn;
	} rows[] = {
		{ "at the near plane", 0.5f, 0.5f, 1.0f, true },
		{ "just in front of it", 0.5f, 0.5f, 0.999f, false },
		{ "32 pixels left", -0.05f, 0.5f, 1.0f, true },
		{ "33 pixels left", -33.0f / 640.0f, 0.5f, 1.0f, false },
		{ "32 pixels below", 0.5f, 512.0f / 480.0f, 1.0f, true },
		{ "33 pixels below", 0.5f, 513.0f / 480.0f, 1.0f, false },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		PLEmitter* const emitter = EmitterWith( 1, row.x, row.y, row.z );
		BeginDrawing();
		moParticles->Render();
		EXPECT_EQ( DrawCalls(), row.drawn ? std::vector<s32>{ 6 } : std::vector<s32>{} );
		moParticles->ParticleTypeDelete( emitter->mpoType->GetUID() );
	}
}

TEST_F( PLEmitterRenderTest, RotationsIndexTheTableModulo128 ) {
	for ( const f32 turns : { 0.25f, 1.25f, -0.75f } ) {
		SCOPED_TRACE( turns );
		PLEmitter* const emitter = EmitterWith( 1, 0.5f, 0.5f, 2.0f );
		emitter->mpoType->SetInter( PL_INTER_ROTATION, turns, turns, turns, 1.0f );
		emitter->mpoType->SetInter( PL_INTER_SIZE, 1.25f, 1.25f, 1.25f, 1.0f );
		BeginDrawing();
		moParticles->Render();
		const RwIm2DVertex* const v = LastVertices();
		ASSERT_NE( v, nullptr );
		// Centre (160, 120), size 1 at depth 2: A = c x 480 / 2, B = s x 640 / 2.
		const f32 a = DTTable128::mCos[32] * 1.0f * 1.0f * 480.0f * 0.5f;
		const f32 b = DTTable128::mSin[32] * 1.0f * 1.0f * 640.0f * 0.5f;
		EXPECT_FLOAT_EQ( v[0].x, 160.0f + a );
		EXPECT_FLOAT_EQ( v[0].y, 120.0f + b );
		EXPECT_FLOAT_EQ( v[4].x, 160.0f + b );
		EXPECT_FLOAT_EQ( v[4].y, 120.0f - a );
		EXPECT_EQ( v[4].u, 1.0f );
		EXPECT_EQ( v[4].v, 0.0f );
		EXPECT_FLOAT_EQ( v[0].z, 0.5f );
		moParticles->ParticleTypeDelete( emitter->mpoType->GetUID() );
	}
}

TEST_F( PLEmitterRenderTest, BlendFollowsTheTypeFlagsAndTheStencilBracketsTheEmitter ) {
	const struct {
		u32					flags;
		std::vector<u32>	src;
		std::vector<u32>	dest;
		u8					alpha;
	} rows[] = {
		{ 0, { 2 }, { 2 }, 255 },
		{ 0x80, { 1 }, { 4 }, 255 },
		{ 0x200, { 5 }, { 6 }, 127 },
		{ 0x280, { 1 }, { 4 }, 255 },
		// The stencil read takes the source blend over and gives it back.
		{ 0x100, { 8, 2, 0 }, { 2 }, 255 },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.flags );
		PLEmitter* const emitter = EmitterWith( 1, 0.5f, 0.5f, 2.0f );
		emitter->mpoType->SetInt( PL_INT_FLAGS, row.flags );
		emitter->mpoType->SetInter( PL_INTER_ALPHA, 0.5f, 0.5f, 0.5f, 1.0f );
		emitter->mpoType->SetInter( PL_INTER_RED, 2.0f, 2.0f, 2.0f, 1.0f );
		BeginDrawing();
		moParticles->Render();
		std::vector<u32> src = StateSets( RS_SRC_BLEND );
		std::vector<u32> dest = StateSets( RS_DEST_BLEND );
		// The last set of each is EndRender's restore.
		src.pop_back();
		dest.pop_back();
		EXPECT_EQ( src, row.src );
		EXPECT_EQ( dest, row.dest );
		const RwIm2DVertex* const v = LastVertices();
		ASSERT_NE( v, nullptr );
		EXPECT_EQ( v[0].a, row.alpha );
		EXPECT_EQ( v[0].r, 255 );
		moParticles->ParticleTypeDelete( emitter->mpoType->GetUID() );
	}
	// Fog goes off for the particles and back after them.
	EXPECT_EQ( StateSets( 14 ).size(), 2u );
}

TEST_F( PLEmitterRenderTest, AnOrientedParticleIsOneQuadAroundItsMatrix ) {
	PLEmitter* const emitter = MakeEmitter( 0.0f, 0.0f, 5.0f );
	emitter->mpoType->SetInt( PL_INT_FLAGS, PL_TYPE_ORIENTED );
	emitter->mpoType->SetInter( PL_INTER_SIZE, 2.5f, 2.5f, 2.5f, 1.0f );
	emitter->mpoType->SetInter( PL_INTER_GREEN, 0.5f, 0.5f, 0.5f, 1.0f );
	PLParticle* const p = emitter->LaunchParticleImmediately();
	ASSERT_NE( p->mpoMatrix, nullptr );
	// A plain particle of the same emitter has no matrix and is skipped.
	emitter->mpoType->SetInt( PL_INT_FLAGS, 0 );
	emitter->LaunchParticleImmediately();
	emitter->mpoType->SetInt( PL_INT_FLAGS, PL_TYPE_ORIENTED );
	BeginDrawing();
	moParticles->Render();
	// The vertices were built at the start of the work memory.
	const RwIm3DVertex* const v = reinterpret_cast<const RwIm3DVertex*>( mWorkBuffer.data() );
	const f32 expected[4][3] = { { 1.0f, 0.0f, 5.0f }, { 0.0f, 1.0f, 5.0f }, { -1.0f, 0.0f, 5.0f }, { 0.0f, -1.0f, 5.0f } };
	const f32 uv[4][2] = { { 0.0f, 1.0f }, { 0.0f, 0.0f }, { 1.0f, 0.0f }, { 1.0f, 1.0f } };
	for ( u32 i = 0; i < 4; i++ ) {
		EXPECT_FLOAT_EQ( v[i].objVertex.x, expected[i][0] ) << i;
		EXPECT_FLOAT_EQ( v[i].objVertex.y, expected[i][1] ) << i;
		EXPECT_FLOAT_EQ( v[i].objVertex.z, expected[i][2] ) << i;
		EXPECT_EQ( v[i].u, uv[i][0] );
		EXPECT_EQ( v[i].v, uv[i][1] );
		EXPECT_EQ( v[i].objNormal.x, 1.0f );
		EXPECT_EQ( v[i].color.green, 127 );
	}
	const RwImVertexIndex* const indices = reinterpret_cast<const RwImVertexIndex*>( v + 4 );
	EXPECT_EQ( std::vector<RwImVertexIndex>( indices, indices + 6 ), ( std::vector<RwImVertexIndex>{ 0, 1, 2, 2, 3, 0 } ) );
	EXPECT_EQ( moWork->GetFree(), moWork->GetSize() );
	EXPECT_TRUE( DrawCalls().empty() );
}

TEST_F( PLEmitterRenderTest, AnEmitterOutOfBothViewsStopsAndTellsItsTargetOnceEachWay ) {
	MakeCamera();
	MakeCamera();
	gClipNotes.clear();
	PLEmitter* const emitter = EmitterWith( 3, 0.0f, 0.0f, 10.0f );
	MoveTo( *emitter, 0.0f, 0.0f, 10.0f );
	emitter->mui32Flags = PL_EMITTER_NO_DRAW_CLIPPED | PL_EMITTER_NO_UPDATE_CLIPPED;
	emitter->mui32NotifyTarget = 0x2a000020;
	gpoGameLogicMgr->GetNotificationMgr().RegisterNotify( NO_EMITTER_CLIPPED, 0x2a000020, emitter->GetUID(), &RecordClip,
														  nullptr );
	moParticles->Update( 0.1f );
	EXPECT_TRUE( gClipNotes.empty() );
	const PLParticle* const first = emitter->moParticles.GetFirst();
	EXPECT_FLOAT_EQ( first->mfAge, 0.1f );

	MoveTo( *emitter, 0.0f, 0.0f, -10.0f );
	moParticles->Update( 0.1f );
	moParticles->Update( 0.1f );
	EXPECT_EQ( gClipNotes, ( std::vector<std::pair<u32, u32>>{ { 1, emitter->GetUID() } } ) );
	EXPECT_FLOAT_EQ( first->mfAge, 0.1f );	// not updated while clipped
	BeginDrawing();
	moParticles->Render();
	EXPECT_TRUE( DrawCalls().empty() );

	MoveTo( *emitter, 0.0f, 0.0f, 10.0f );
	moParticles->Update( 0.1f );
	EXPECT_EQ( gClipNotes.size(), 2u );
	EXPECT_EQ( gClipNotes.back(), ( std::pair<u32, u32>{ 0, emitter->GetUID() } ) );
	EXPECT_FLOAT_EQ( first->mfAge, 0.2f );

	// With 0x100 the particles go back to the pool on clipping.
	emitter->mui32Flags |= PL_EMITTER_RELEASE_ON_CLIP;
	MoveTo( *emitter, 0.0f, 0.0f, -10.0f );
	moParticles->Update( 0.1f );
	EXPECT_EQ( emitter->GetNbActivePart(), 0u );
	EXPECT_EQ( moParticles->GetFreeParticlesList().GetCount(), PL_POOL_SIZE );
}
