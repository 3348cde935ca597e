// The edges of a cell at each Y: content edges, float records and where new floats go.
#include "layout/IndentManager.h"

#include <gtest/gtest.h>

namespace lantern {
namespace {

// A cell 100 wide whose content edges are owned by `cell`, as TCell lays them.
struct CellEdges {
    CellEdges()
    {
        m.Reset(0, 100);
        m.CurrentOwner = &cell;
        m.AddLeftEdge(0, 0);
        m.AddRightEdge(100, 0);
    }
    int cell = 0;
    TIndentManager m;
};

TEST(IndentManager, WithoutRecordsTheEdgesAreZeroAndTheWidth)
{
    TIndentManager m;
    m.Reset(10, 300);
    EXPECT_EQ(m.LeftEdgeRel(50), 0);
    EXPECT_EQ(m.RightEdgeRel(50), 300);
    EXPECT_EQ(m.LeftEdgeAt(50), 10);
    EXPECT_EQ(m.RightEdgeAt(50), 310);
    EXPECT_EQ(m.FloatBottom(), 0);
}

TEST(IndentManager, FloatsNarrowOnlyTheRowsTheyCover)
{
    CellEdges c;
    c.m.AddLeftFloat(10, 30, 40);
    c.m.AddRightFloat(20, 50, 25);
    EXPECT_EQ(c.m.LeftEdgeRel(9), 0);
    EXPECT_EQ(c.m.LeftEdgeRel(10), 40);
    EXPECT_EQ(c.m.LeftEdgeRel(29), 40);
    EXPECT_EQ(c.m.LeftEdgeRel(30), 0);
    EXPECT_EQ(c.m.RightEdgeRel(19), 100);
    EXPECT_EQ(c.m.RightEdgeRel(49), 75);
    EXPECT_EQ(c.m.FloatBottom(), 50);
}

TEST(IndentManager, TwoLeftFloatsAtOneYSitSideBySide)
{
    CellEdges c;
    IndentRec first = c.m.AddLeftFloat(0, 20, 30);
    IndentRec second = c.m.AddLeftFloat(0, 20, 25);
    EXPECT_EQ(first.X, 30);
    EXPECT_EQ(second.X, 55);
    EXPECT_EQ(c.m.LeftEdgeRel(5), 55);
}

TEST(IndentManager, AnInnerBlocksContentEdgesStayItsOwn)
{
    CellEdges c;
    c.m.AddLeftFloat(0, 100, 20);
    int inner = 0;
    c.m.CurrentOwner = &inner;
    const int l = c.m.AddLeftEdge(30, 0);
    const int r = c.m.AddRightEdge(80, 0);
    EXPECT_EQ(c.m.LeftEdgeRel(10), 30);
    EXPECT_EQ(c.m.RightEdgeRel(10), 80);
    // Back in the cell, the inner block's edges do not apply but the float does.
    c.m.CurrentOwner = &c.cell;
    EXPECT_EQ(c.m.LeftEdgeRel(10), 20);
    EXPECT_EQ(c.m.RightEdgeRel(10), 100);
    c.m.RemoveRight(r);
    c.m.RemoveLeft(l);
    EXPECT_EQ(c.m.LeftEdges.size(), 2u);
}

TEST(IndentManager, NextFloatEndIsYWhenNoFloatEndsBelow)
{
    CellEdges c;
    EXPECT_EQ(c.m.NextFloatEnd(40), 40);
    c.m.AddLeftFloat(0, 30, 10);
    c.m.AddRightFloat(0, 60, 10);
    EXPECT_EQ(c.m.NextFloatEnd(0), 30);
    EXPECT_EQ(c.m.NextFloatEnd(30), 60);
    EXPECT_EQ(c.m.NextFloatEnd(60), 60);
}

TEST(IndentManager, ClearMovesBelowTheFloatsOfItsSide)
{
    CellEdges c;
    c.m.AddLeftFloat(0, 30, 10);
    c.m.AddRightFloat(0, 60, 10);
    EXPECT_EQ(c.m.ClearSpace(0, 10), 0);
    EXPECT_EQ(c.m.ClearSpace(1, 10), 20);
    EXPECT_EQ(c.m.ClearSpace(2, 10), 50);
    EXPECT_EQ(c.m.ClearSpace(3, 10), 50);
    EXPECT_EQ(c.m.ClearSpace(1, 40), 0);
}

TEST(IndentManager, AFloatThatFitsBesideTheLineStaysAtY)
{
    CellEdges c;
    int y = 5;
    EXPECT_EQ(c.m.PlaceLeftFloat(y, 40, 16, 60), 0);
    EXPECT_EQ(y, 5);
    EXPECT_EQ(c.m.PlaceRightFloat(y, 40, 16, 60), 60);
    EXPECT_EQ(y, 5);
}

TEST(IndentManager, AFloatTooWideForTheLineGoesJustBelowIt)
{
    CellEdges c;
    int y = 5;
    EXPECT_EQ(c.m.PlaceLeftFloat(y, 50, 16, 60), 0);
    EXPECT_EQ(y, 21);
}

TEST(IndentManager, AFloatTooWideBesideOthersGoesBelowTheOneThatFreesRoom)
{
    CellEdges c;
    c.m.AddLeftFloat(0, 70, 30);
    c.m.AddLeftFloat(0, 40, 30); // beside the first: the edge is 60 until 40, then 30 until 70
    int y = 0;
    EXPECT_EQ(c.m.PlaceLeftFloat(y, 60, 0, 0), 30);
    EXPECT_EQ(y, 40);
    y = 0;
    EXPECT_EQ(c.m.PlaceLeftFloat(y, 80, 0, 0), 0);
    EXPECT_EQ(y, 70);
}

TEST(IndentManager, ARightFloatTooWideGoesBelowTheFloatsInItsWay)
{
    CellEdges c;
    c.m.AddRightFloat(0, 40, 50);
    c.m.AddLeftFloat(0, 20, 30);
    int y = 0;
    EXPECT_EQ(c.m.PlaceRightFloat(y, 60, 0, 0), 40);
    EXPECT_EQ(y, 40);
}

} // namespace
} // namespace lantern
