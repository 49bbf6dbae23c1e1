#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwMatrix.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RtAnim.h"
#include "RpWorldTestSupport.h"

#include <glm/gtc/quaternion.hpp>

#include <cmath>

namespace {

// Key-frame results agree with double-precision references to this.
constexpr f32 TOLERANCE = 2e-5f;

RpHAnimKeyFrame Key( const f32 time, const glm::dquat& q, const RwV3d t = { 0, 0, 0 } ) {
	return { nullptr, time, { { f32( q.x ), f32( q.y ), f32( q.z ) }, f32( q.w ) }, t };
}

glm::dquat Quat( const RtQuat& q ) {
	return glm::dquat( q.real, q.imag.x, q.imag.y, q.imag.z );
}

void ExpectQuat( const RtQuat& actual, const glm::dquat& expected ) {
	EXPECT_NEAR( actual.imag.x, expected.x, TOLERANCE );
	EXPECT_NEAR( actual.imag.y, expected.y, TOLERANCE );
	EXPECT_NEAR( actual.imag.z, expected.z, TOLERANCE );
	EXPECT_NEAR( actual.real, expected.w, TOLERANCE );
}

glm::dquat Rotation( const double angle, const glm::dvec3& axis ) {
	return glm::angleAxis( angle, glm::normalize( axis ) );
}

// The plug-in entry of the frame registry, for its stream functions.
const RwPluginRegEntry* FrameEntry() {
	for ( const RwPluginRegEntry* entry = frameTKList.firstRegEntry; entry != nullptr; entry = entry->nextRegEntry ) {
		if ( entry->pluginID == rpHANIMPLUGINID ) {
			return entry;
		}
	}
	return nullptr;
}

class RpHAnimTest : public RpWorldTestCase {
protected:
	void RegisterPlugins() override { ASSERT_TRUE( RpHAnimPluginAttach() ); }

	void TearDown() override {
		for ( RwFrame* frame : frames ) {
			RwFrameDestroy( frame );
		}
		RpWorldTestCase::TearDown();
	}

	RwFrame* NewFrame( const s32 id ) {
		RwFrame* const frame = RwFrameCreate();
		RwPluginData<RpHAnimFrameExtension>( frame, RpHAnimAtomicGlobals.frameOffset.Get() )->id = id;
		frames.push_back( frame );
		return frame;
	}

	// Reads an extension chunk holding the sub-chunk payloads into frames.
	bool ReadExtension( RwFrame* frame, RwStream* stream ) {
		return _rwPluginRegistryReadDataChunks( &frameTKList, stream, frame ) != nullptr;
	}

	std::vector<RwFrame*> frames;
};

std::vector<u8> Extension( const std::vector<std::vector<s32>>& payloads ) {
	return RpTestBytes( [&]( ToolChunkWriter& w ) {
		w.BeginChunk( TOOL_CHUNK_EXTENSION );
		for ( const std::vector<s32>& words : payloads ) {
			w.BeginChunk( rpHANIMPLUGINID );
			for ( const s32 word : words ) {
				w.WriteS32( word );
			}
			w.EndChunk();
		}
		w.EndChunk();
	} );
}

TEST_F( RpHAnimTest, InterpolationAndBlendingAgreeWithDoublePrecisionSlerp ) {
	struct Case {
		const char*		name;
		glm::dquat		a;
		glm::dquat		b;
		f32				f;
		bool			linear;			// weights 1 - f and f
	};
	const glm::dquat x30 = Rotation( 0.5236, { 1, 0, 0 } );
	const glm::dquat tilted = Rotation( 2.2, { 1, 2, -1 } );
	const glm::dquat identity( 1, 0, 0, 0 );
	// Cosine exactly 0.999 in single precision.
	const f32 c = 0.999f;
	const glm::dquat nearly( c, std::sqrt( 1.0 - double( c ) * c ), 0, 0 );
	const Case cases[] = {
		{ "quarter of the way", identity, x30, 0.25f, false },
		{ "wide angle", x30, tilted, 0.6f, false },
		{ "negative dot goes the short way", x30, -tilted, 0.3f, false },
		{ "cosine of exactly 0.999 blends linearly", identity, nearly, 0.5f, true },
	};
	for ( const Case& k : cases ) {
		SCOPED_TRACE( k.name );
		RpHAnimKeyFrame a = Key( 1.0f, k.a, { 0, 0, 0 } );
		RpHAnimKeyFrame b = Key( 3.0f, k.b, { 2, 4, -6 } );
		RpHAnimKeyFrame out = { nullptr, 0.0f, {}, {} };
		RpHAnimKeyFrameInterpolate( &out, &a, &b, 1.0f + 2.0f * k.f );
		glm::dquat target = Quat( Key( 0, k.b ).q );
		if ( glm::dot( Quat( a.q ), target ) < 0 ) {
			target = -target;
		}
		ExpectQuat( b.q, target );		// negated in place when needed
		const glm::dquat expected = k.linear ? ( 1.0 - k.f ) * Quat( a.q ) + double( k.f ) * target
											 : glm::slerp( Quat( a.q ), target, double( k.f ) );
		ExpectQuat( out.q, expected );
		EXPECT_NEAR( out.t.y, 4.0f * k.f, TOLERANCE );
		EXPECT_EQ( out.prevFrame, nullptr );
		EXPECT_EQ( out.time, 0.0f );

		RpHAnimKeyFrame blended = out;
		RpHAnimKeyFrameBlend( &blended, &a, &b, k.f );
		ExpectQuat( blended.q, expected );
	}
	// Equal key times stand at the first key frame instead of dividing by 0.
	RpHAnimKeyFrame a = Key( 2.0f, x30, { 1, 1, 1 } );
	RpHAnimKeyFrame b = Key( 2.0f, tilted, { 5, 5, 5 } );
	RpHAnimKeyFrame out = {};
	RpHAnimKeyFrameInterpolate( &out, &a, &b, 2.0f );
	ExpectQuat( out.q, x30 );
	EXPECT_EQ( out.t.x, 1.0f );
}

TEST_F( RpHAnimTest, ProductsInversesAndMatricesAgreeWithDoublePrecision ) {
	const glm::dquat p = Rotation( 0.7, { 0, 1, 1 } ) * 1.5;
	const glm::dquat q = Rotation( -1.9, { 3, -1, 2 } );
	RpHAnimKeyFrame a = Key( 0, p, { 1, 2, 3 } );
	RpHAnimKeyFrame b = Key( 0, q, { -1, 5, 0.5f } );
	RpHAnimKeyFrame sum = {};
	RpHAnimKeyFrameAdd( &sum, &a, &b );
	ExpectQuat( sum.q, Quat( a.q ) * Quat( b.q ) );
	EXPECT_EQ( sum.t.y, 7.0f );

	RpHAnimKeyFrame relative = b;
	RpHAnimKeyFrameMulRecip( &relative, &a );
	ExpectQuat( relative.q, glm::inverse( Quat( a.q ) ) * Quat( b.q ) );
	EXPECT_EQ( relative.t.x, -2.0f );
	RpHAnimKeyFrame zero = Key( 0, glm::dquat( 0, 0, 0, 0 ) );
	RpHAnimKeyFrame kept = b;
	RpHAnimKeyFrameMulRecip( &kept, &zero );
	ExpectQuat( kept.q, Quat( b.q ) );

	// Not normalised: a scaled quaternion scales the matrix by its square.
	RwMatrix matrix = {};
	RpHAnimKeyFrameApply( &matrix, &a );
	const glm::dmat3 rotation = glm::mat3_cast( glm::normalize( Quat( a.q ) ) );
	const double n = glm::dot( Quat( a.q ), Quat( a.q ) );
	const RwV3d* const axes[3] = { &matrix.right, &matrix.up, &matrix.at };
	for ( s32 column = 0; column < 3; column++ ) {
		for ( s32 row = 0; row < 3; row++ ) {
			const f32 value = row == 0 ? axes[column]->x : row == 1 ? axes[column]->y : axes[column]->z;
			const double identity = row == column ? 1.0 : 0.0;
			EXPECT_NEAR( value, n * rotation[column][row] + ( 1.0 - n ) * identity, 1e-4 );
		}
	}
	EXPECT_EQ( matrix.pos.z, 3.0f );
	EXPECT_EQ( matrix.flags, 3u );
}

TEST_F( RpHAnimTest, KeyFramesStreamWithOffsetsIntoTheirArray ) {
	std::vector<RpHAnimKeyFrame> frames( 3 );
	for ( s32 i = 0; i < 3; i++ ) {
		frames[i] = Key( 0.5f * i, Rotation( 0.1 * i, { 0, 0, 1 } ), { f32( i ), 0, 0 } );
	}
	frames[2].prevFrame = &frames[1];
	RtAnimAnimation animation = { rpHANIMSTDKEYFRAMETYPEID, 3, frames.data() };
	EXPECT_EQ( RpHAnimKeyFrameStreamGetSize( &animation ), 108 );
	RwTestBytes bytes = RwTestWrite( [&]( RwStream* s ) { return RpHAnimKeyFrameStreamWrite( &animation, s ); } );
	ASSERT_EQ( bytes.size(), 108u );
	struct Case {
		s32		offset;		// stored for the third key frame
		s32		previous;	// -1: the read fails
	};
	const Case cases[] = { { 36, 1 }, { 40, 1 }, { 71, 1 }, { 72, 2 }, { 0, 0 }, { 108, -1 }, { -36, -1 } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.offset );
		for ( s32 k = 0; k < 4; k++ ) {
			bytes[2 * 36 + 32 + k] = static_cast<u8>( static_cast<u32>( c.offset ) >> ( 8 * k ) );
		}
		std::vector<RpHAnimKeyFrame> read( 3 );
		RtAnimAnimation into = { rpHANIMSTDKEYFRAMETYPEID, 3, read.data() };
		RwStream* const stream = RwTestOpenRead( bytes );
		const bool ok = RpHAnimKeyFrameStreamRead( stream, &into ) != nullptr;
		RwStreamClose( stream, nullptr );
		ASSERT_EQ( ok, c.previous >= 0 );
		if ( ok ) {
			EXPECT_EQ( read[2].prevFrame, &read[c.previous] );
			EXPECT_EQ( read[1].time, 0.5f );
			EXPECT_EQ( read[2].q.real, frames[2].q.real );
		} else {
			EXPECT_EQ( RwTestReadError().errorCode, 0x8000001Au );
		}
	}
}

TEST_F( RpHAnimTest, HierarchiesBindNodesAndStreamWithTheirFrame ) {
	const s32 ids[] = { 7, 8, 8, 9 };
	const s32 nodeFlags[] = { 1, 2, 3, 4 };
	RpHAnimHierarchy* const hierarchy = RpHAnimHierarchyCreate( 4, nodeFlags, ids, 0, 40 );
	ASSERT_NE( hierarchy, nullptr );
	EXPECT_EQ( reinterpret_cast<uintptr_t>( hierarchy->pMatrixArray ) % 16, 0u );
	EXPECT_EQ( hierarchy->parentHierarchy, hierarchy );
	EXPECT_EQ( RpHAnimIDGetIndex( hierarchy, 8 ), 1 );
	EXPECT_EQ( RpHAnimIDGetIndex( hierarchy, 5 ), -1 );
	RwFrame* const root = NewFrame( 7 );
	RwFrame* const child = NewFrame( 8 );
	RwFrame* const grandchild = NewFrame( 8 );
	RwFrameAddChild( root, child );
	RwFrameAddChild( child, grandchild );
	hierarchy->parentFrame = root;
	RwPluginData<RpHAnimFrameExtension>( root, RpHAnimAtomicGlobals.frameOffset.Get() )->hierarchy = hierarchy;
	RpHAnimHierarchyAttach( hierarchy );
	EXPECT_EQ( hierarchy->pNodeInfo[0].pFrame, root );
	// Parents first: the deeper frame of the same id is bound last.
	EXPECT_EQ( hierarchy->pNodeInfo[1].pFrame, grandchild );
	EXPECT_EQ( hierarchy->pNodeInfo[2].pFrame, grandchild );
	EXPECT_EQ( hierarchy->pNodeInfo[3].pFrame, nullptr );

	const RwPluginRegEntry* const entry = FrameEntry();
	ASSERT_NE( entry, nullptr );
	EXPECT_EQ( entry->getSizeCB( root, entry->offset, entry->size ), 20 + 12 * 4 );
	EXPECT_EQ( entry->getSizeCB( child, entry->offset, entry->size ), 12 );
	const RwTestBytes payload = RwTestWrite( [&]( RwStream* s ) { return entry->writeCB( s, 0, root, entry->offset, entry->size ) != nullptr; } );
	ASSERT_EQ( payload.size(), 68u );
	RwTestBytes chunk = RwTestChunk( rwID_EXTENSION, RwTestChunk( rpHANIMPLUGINID, payload ) );
	RwFrame* const copy = NewFrame( -1 );
	RwStream* const stream = RwTestOpenRead( chunk );
	ASSERT_TRUE( ReadExtension( copy, stream ) );
	RwStreamClose( stream, nullptr );
	RpHAnimHierarchy* const read = RpHAnimFrameGetHierarchy( copy );
	ASSERT_NE( read, nullptr );
	EXPECT_EQ( RpHAnimFrameGetID( copy ), 7 );
	EXPECT_EQ( read->parentFrame, copy );
	EXPECT_EQ( read->currentAnim->maxKeyFrameSize, 40 );
	for ( s32 i = 0; i < 4; i++ ) {
		EXPECT_EQ( read->pNodeInfo[i].nodeID, ids[i] );
		EXPECT_EQ( read->pNodeInfo[i].flags, nodeFlags[i] );
		EXPECT_EQ( read->pNodeInfo[i].pFrame, nullptr );
	}
	// A sub-hierarchy is not streamed.
	read->flags |= rpHANIMHIERARCHYSUBHIERARCHY;
	EXPECT_EQ( entry->getSizeCB( copy, entry->offset, entry->size ), 12 );
	read->flags &= ~rpHANIMHIERARCHYSUBHIERARCHY;
	// Cloning copies the table to a hierarchy of the clone's own.
	RwFrame* const clone = RwFrameCreate();
	frames.push_back( clone );
	_rwPluginRegistryCopyObject( &frameTKList, clone, copy );
	RpHAnimHierarchy* const cloned = RpHAnimFrameGetHierarchy( clone );
	ASSERT_NE( cloned, nullptr );
	EXPECT_NE( cloned, read );
	EXPECT_EQ( cloned->parentFrame, clone );
	EXPECT_EQ( cloned->pNodeInfo[3].nodeID, 9 );
}

TEST_F( RpHAnimTest, MalformedFrameDataFailsWithoutLeavingAHierarchy ) {
	struct Case {
		const char*			name;
		std::vector<s32>	words;
		bool				read;
		bool				hierarchy;
	};
	const Case cases[] = {
		{ "no hierarchy", { 0x100, 5, 0 }, true, false },
		{ "one node", { 0x100, 5, 1, 0, 36, 5, 0, 0 }, true, true },
		{ "one node and trailing words", { 0x100, 5, 1, 0, 36, 5, 0, 0, 99 }, true, true },
		{ "wrong version", { 0x101, 5, 0 }, false, false },
		{ "1,000,000 nodes in 44 bytes", { 0x100, 5, 1000000, 0, 36, 1, 0, 0, 2, 1, 0 }, false, false },
		{ "node table cut short", { 0x100, 5, 2, 0, 36, 5, 0, 0, 6 }, false, false },
		{ "key-frame size 0", { 0x100, 5, 1, 0, 0, 5, 0, 0 }, false, false },
		{ "key-frame size 4097", { 0x100, 5, 1, 0, 4097, 5, 0, 0 }, false, false },
		{ "cut inside the head", { 0x100, 5 }, false, false },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RwFrame* const frame = NewFrame( -1 );
		const RwTestBytes bytes = Extension( { c.words } );
		RwStream* const stream = RwTestOpenRead( bytes );
		EXPECT_EQ( ReadExtension( frame, stream ), c.read );
		RwStreamClose( stream, nullptr );
		EXPECT_EQ( RpHAnimFrameGetHierarchy( frame ) != nullptr, c.hierarchy );
		RwTestReadError();
	}
	// Without a free record the frame goes without and the next frame's
	// data is still read in step.
	RwFreeList* const kept = RpHAnimAtomicGlobals.hierarchyFreeList;
	RpHAnimAtomicGlobals.hierarchyFreeList = nullptr;
	const RwTestBytes two = RwTestConcat( { Extension( { { 0x100, 5, 1, 0, 36, 5, 0, 0 } } ), Extension( { { 0x100, 6, 0 } } ) } );
	RwStream* const stream = RwTestOpenRead( two );
	RwFrame* const first = NewFrame( -1 );
	EXPECT_TRUE( ReadExtension( first, stream ) );
	RpHAnimAtomicGlobals.hierarchyFreeList = kept;
	RwFrame* const second = NewFrame( -1 );
	EXPECT_TRUE( ReadExtension( second, stream ) );
	RwStreamClose( stream, nullptr );
	EXPECT_EQ( RpHAnimFrameGetHierarchy( first ), nullptr );
	EXPECT_EQ( RpHAnimFrameGetID( first ), 5 );
	EXPECT_EQ( RpHAnimFrameGetID( second ), 6 );
}

TEST_F( RpHAnimTest, AHierarchyWithoutMatricesFreesOnlyItsTable ) {
	RpHAnimHierarchy* const hierarchy = RpHAnimHierarchyCreate( 3, nullptr, nullptr, rpHANIMHIERARCHYNOMATRICES, 36 );
	ASSERT_NE( hierarchy, nullptr );
	EXPECT_EQ( hierarchy->pMatrixArray, nullptr );
	EXPECT_EQ( hierarchy->pMatrixArrayUnaligned, nullptr );
	EXPECT_EQ( hierarchy->pNodeInfo[2].nodeIndex, 2 );
	EXPECT_EQ( RpHAnimHierarchyDestroy( hierarchy ), nullptr );
}

}	// namespace
